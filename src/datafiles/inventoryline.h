#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {
struct AudioProperties;
}

namespace datafiles {

// One line of inventory.dat: 22 text fields. In memory the folder and the file name hold their
// real commas; the file stores them as the character 187.
struct InventoryLine {
  std::string gInvDrive;
  std::string gInvFolder;
  std::string gInvFileName;
  std::string gInvExtension;
  std::string gInvFileType;
  std::string gInvAlbum;
  std::string gInvArtist;
  std::string gInvBits;
  std::string gInvChannels;
  std::string gInvDivision;
  std::string gInvComment;
  std::string gInvEncoding;
  std::string gInvCopyright;
  std::string gInvCreationDate;
  std::string gInvEngineer;
  std::string gInvFormatVersion;
  std::string gInvGenre;
  std::string gInvName;
  std::string gInvProduct;
  std::string gInvSampleRate;
  std::string gInvSoftware;
  std::string gInvYear;

  static constexpr int kFieldCount = 22;
  std::array<std::string*, kFieldCount> Fields();
  std::array<const std::string*, kFieldCount> Fields() const;

  // Drive & folder & name & "." & extension.
  std::string FullPath() const;
  void FullPathInto(std::string& out) const;  // reuses `out`'s storage
  // Folder & name & "." & extension (it begins with a backslash).
  std::string PathWithoutDrive() const;
};

// Fields 1 to 4 of a full path: the drive is its first two characters, the extension what
// follows its last "." (without it), the name what stands between the last "\" and that ".",
// the folder the rest from just after the drive through that "\".
void SplitInventoryPath(std::string_view path, InventoryLine& line);

// Parses one stored line into `line`: fields split at commas, blanks in front of a field
// skipped, a field that begins with a double quote read as the field encoder writes it;
// fields the line lacks are empty, extra ones ignored. An unquoted folder or name gets its
// commas back.
// Only the first `fields` fields are read (4 suffice for the path); the others keep their text.
void ParseInventoryLine(std::string_view stored, InventoryLine& line, int fields = InventoryLine::kFieldCount);

// The stored line of the file `path` with the analysis `props` (none: 18 empty fields), CR LF
// included, appended to `out`. Fields 1 to 4 as SplitInventoryPath gives them, folder and name
// through platform::AppendNameField (commas as the character 187), drive and extension through
// the field encoder; in the analysis texts a comma becomes "-", CR LF two blanks and a lone CR
// or LF a blank, and the result goes through the field encoder.
void AppendStoredInventoryLine(std::string_view path, const analysis::AudioProperties* props, std::string& out);

// Reads inventory.dat line by line into a reusable InventoryLine. Empty lines are skipped.
class InventoryReader {
 public:
  // Reads the file whole; throws VbError (errFileNotFound when it is missing).
  explicit InventoryReader(const std::string& gInventoryFile);
  InventoryReader(const InventoryReader&) = delete;  // the views point into data_
  InventoryReader& operator=(const InventoryReader&) = delete;

  // The next line into `line`; false at the end. `fields` as for ParseInventoryLine.
  bool Next(InventoryLine& line, int fields = InventoryLine::kFieldCount);
  // The stored bytes of the line just read, without its line end.
  std::string_view StoredLine() const { return stored_; }
  // The same with the line end it had in the file (none for a last line without one).
  std::string_view StoredLineWithEnd() const { return withEnd_; }
  // The whole file as read.
  std::string_view Data() const { return data_; }

 private:
  std::string data_;
  std::size_t pos_ = 0;
  std::string_view stored_;
  std::string_view withEnd_;
};

// Which of `paths` stand on a line of inventory.dat, in one pass over the file: result[i] is
// true when paths[i] is the full path of some line (exact comparison, case included).
// Throws VbError when the file cannot be read.
std::vector<bool> FindPathsInInventory(const std::string& gInventoryFile, const std::vector<std::string>& paths);

}  // namespace datafiles
