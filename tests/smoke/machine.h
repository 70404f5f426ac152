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
class Machine {
 public:
  Machine();

  static constexpr const char* kProgramFolder = "C:\\app\\";
  std::string Host(const std::string& dosPath) const { return drives.Host(dosPath); }
  std::string Read(const std::string& dosPath) const;
  bool Exists(const std::string& dosPath) const { return drives.Exists(dosPath); }

  // The data files as the program keeps them.
  std::string GroupsDat() const;
  std::string UserDbDat() const;
  // groups.dat as "Parent/Text" lines, in the file's order.
  std::vector<std::string> Outline() const;
  bool HasNode(const std::string& parentSlashText) const;

  // The bytes userdb.dat was given.
  std::string userDbAtStart;

  testing_support::TempDrives drives{"C"};
};

}  // namespace smoke
