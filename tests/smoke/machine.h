#pragma once

#include <string>
#include <vector>

#include "support/temp_drives.h"

namespace smoke {

// The machine a smoke scenario runs on: one drive C: in a temporary folder, holding the
// program's folder C:\app\ (its data folder with settings, a groups tree and a note), some
// audio files and a playlist. The program builds its inventory at its first start.
//
//   C:\Music\tone.wav, long.wav, spare.wav  playable, 1 s, 3 s and 2 s long
//   C:\Music\noise.wav                     not audio
//   C:\Music\gone.wav                      named by the tree and the playlist, never there
//   C:\Lists\mix.m3u                       tone.wav, noise.wav, gone.wav, long.wav
//   groups tree                            Groups > Rock > {Song -> tone.wav, Gone -> gone.wav},
//                                          Groups > Empty
//   C:\printout.pdf                         where printouts go (TOLVAN_PRINT_TO_PDF)
class Machine {
 public:
  Machine();

  static constexpr const char* kProgramFolder = "C:\\app\\";
  std::string Host(const std::string& dosPath) const { return drives.Host(dosPath); }
  std::string Read(const std::string& dosPath) const;
  bool Exists(const std::string& dosPath) const { return drives.Exists(dosPath); }
  static constexpr const char* kPrintout = "C:\\printout.pdf";

  // The data files as the program keeps them.
  std::string GroupsDat() const;
  std::string UserDbDat() const;
  // groups.dat as "Parent/Text" lines, in the file's order.
  std::vector<std::string> Outline() const;
  bool HasNode(const std::string& parentSlashText) const;

  // Adds a note to userdb.dat (the file itself is not made).
  void AddNote(const std::string& path, const std::string& caption);
  // The paths of userdb.dat's notes, in record order.
  std::vector<std::string> NotePaths() const;

  // The bytes userdb.dat was given.
  std::string userDbAtStart;

  testing_support::TempDrives drives{"C"};
};

}  // namespace smoke
