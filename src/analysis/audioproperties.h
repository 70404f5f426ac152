#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace analysis {

// What the header analyser found in one file: 18 texts, each empty when the file does not
// carry the item and "ERROR" when reading the item failed, and the file length.
struct AudioProperties {
  std::string gAudioFileType;
  std::string gAudioAlbum;
  std::string gAudioArtist;
  std::string gAudioBits;
  std::string gAudioChannels;
  std::string gAudioDivision;
  std::string gAudioComment;
  std::string gAudioEncoding;
  std::string gAudioCopyright;
  std::string gAudioCreationDate;
  std::string gAudioEngineer;
  std::string gAudioFormatVersion;
  std::string gAudioGenre;
  std::string gAudioName;
  std::string gAudioProduct;
  std::string gAudioSampleRate;
  std::string gAudioSoftware;
  std::string gAudioYear;
  std::int64_t gAudioFileLength = 0;

  // The 18 texts in the order of the inventory line's analysis fields.
  std::array<std::string*, 18> Texts() {
    return {&gAudioFileType, &gAudioAlbum,     &gAudioArtist,       &gAudioBits,      &gAudioChannels,
            &gAudioDivision, &gAudioComment,   &gAudioEncoding,     &gAudioCopyright, &gAudioCreationDate,
            &gAudioEngineer, &gAudioFormatVersion, &gAudioGenre,    &gAudioName,      &gAudioProduct,
            &gAudioSampleRate, &gAudioSoftware, &gAudioYear};
  }
  void Clear() {
    for (std::string* t : Texts()) t->clear();
    gAudioFileLength = 0;
  }
};

}  // namespace analysis
