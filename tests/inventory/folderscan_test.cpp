#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "inventory/folderscan.h"
#include "platform/core/drives.h"
#include "support/temp_drives.h"

using inventory::DriveTypeCounts;
using inventory::ScanFolderForAudio;
using Paths = std::vector<std::string>;

namespace {

struct PatternCase {
  const char* name;
  int pattern;
};

class Patterns : public ::testing::TestWithParam<PatternCase> {};

TEST_P(Patterns, MatchTheExtensionAfterTheLastPointInAnyCase) {
  EXPECT_EQ(inventory::AudioPatternOf(GetParam().name), GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(Table, Patterns,
                         ::testing::Values(PatternCase{"a.wav", 0}, PatternCase{"A.WAV", 0}, PatternCase{"b.Mp3", 1},
                                           PatternCase{"c.mid", 2}, PatternCase{"c.MIDI", 3}, PatternCase{"z.rmi", 4},
                                           PatternCase{"y.aif", 5}, PatternCase{"y.aifc", 6}, PatternCase{"y.AIFF", 7},
                                           PatternCase{"s.au", 8}, PatternCase{"s.snd", 9}, PatternCase{"l.m3u", 10},
                                           PatternCase{".wav", 0}, PatternCase{"x.wav.txt", -1},
                                           PatternCase{"x.wave", -1}, PatternCase{"wav", -1}, PatternCase{"x.m3u8", -1},
                                           PatternCase{"x.", -1}, PatternCase{"x.mi", -1}, PatternCase{"", -1}));

TEST(Patterns, RaiseTheirOwnCounter) {
  const int expected[] = {datafiles::kWav,  datafiles::kMP3,  datafiles::kMIDI, datafiles::kMIDI,
                          datafiles::kMIDI, datafiles::kAiff, datafiles::kAiff, datafiles::kAiff,
                          datafiles::kAu,   datafiles::kSnd,  datafiles::kLists};
  for (int p = 0; p < inventory::kPatternCount; ++p) EXPECT_EQ(inventory::CounterOfPattern(p), expected[p]) << p;
}

// A drive C: on a temporary folder, mapped through TOLVAN_DRIVES as a user would map it.
class Scan : public ::testing::Test {
 protected:
  Scan() : previous_(platform::CurrentDriveMap()) {
    root_ = files_.Host("C:\\");
    setenv("TOLVAN_DRIVES", ("C=" + root_).c_str(), 1);
    platform::SetDriveMap(platform::DriveMap::FromEnvironment());
  }
  ~Scan() override {
    unsetenv("TOLVAN_DRIVES");
    platform::SetDriveMap(previous_);
  }
  void Touch(const std::string& dosPath) { files_.Write(dosPath, "x"); }
  std::string Host(const std::string& relative) { return root_ + "/" + relative; }
  Paths Run(const std::string& folder = "C:\\") { return ScanFolderForAudio(folder, 1, counts); }
  std::int64_t Count(int column) { return counts[static_cast<std::size_t>(column)][1]; }

  testing_support::TempDrives files_{"C"};
  platform::DriveMap previous_;
  std::string root_;
  DriveTypeCounts counts{};
};

TEST_F(Scan, ListsAFoldersFilesByPatternThenEachSubfolderInNameOrder) {
  for (const char* p : {"C:\\Music\\c.m3u", "C:\\Music\\b.mid", "C:\\Music\\a.wav", "C:\\Music\\notes.txt",
                        "C:\\Music\\C.WAV", "C:\\Music\\_x.wav", "C:\\Music\\B.Wav", "C:\\Music\\x.midi",
                        "C:\\Music\\y.aifc", "C:\\Music\\z.rmi", "C:\\Music\\k.au", "C:\\Music\\k.snd",
                        "C:\\Music\\k.Mp3", "C:\\Music\\k.aif", "C:\\Music\\k.aiff", "C:\\Music\\zz.wav",
                        "C:\\Music\\beta\\b.wav", "C:\\Music\\Alpha\\a.wav", "C:\\Music\\Alpha\\deep\\d.mp3",
                        "C:\\Music\\song.wav\\inside.mp3", "C:\\top.wav", "C:\\Empty\\readme"}) {
    Touch(p);
  }
  EXPECT_EQ(Run(), (Paths{"C:\\top.wav",
                          "C:\\Music\\a.wav", "C:\\Music\\B.Wav", "C:\\Music\\C.WAV", "C:\\Music\\zz.wav",
                          "C:\\Music\\_x.wav", "C:\\Music\\k.Mp3", "C:\\Music\\b.mid", "C:\\Music\\x.midi",
                          "C:\\Music\\z.rmi", "C:\\Music\\k.aif", "C:\\Music\\y.aifc", "C:\\Music\\k.aiff",
                          "C:\\Music\\k.au", "C:\\Music\\k.snd", "C:\\Music\\c.m3u",
                          "C:\\Music\\Alpha\\a.wav", "C:\\Music\\Alpha\\deep\\d.mp3", "C:\\Music\\beta\\b.wav",
                          "C:\\Music\\song.wav\\inside.mp3"}));
  const std::int64_t expected[] = {20, 8, 3, 3, 1, 3, 1, 1};
  for (int c = 0; c < datafiles::kTypeColumnCount; ++c) EXPECT_EQ(Count(c), expected[c]) << "column " << c;
  EXPECT_EQ(counts[0][0] + counts[0][2], 0) << "only the drive's own counters rise";
}

TEST_F(Scan, AStartFolderBelowTheRootAndFoldersWithoutFiles) {
  Touch("C:\\a\\b\\one.wav");
  Touch("C:\\a\\two.wav");
  files_.MakeFolder("C:\\a\\empty");
  EXPECT_EQ(Run("C:\\a\\"), (Paths{"C:\\a\\two.wav", "C:\\a\\b\\one.wav"}));
  EXPECT_EQ(Run("C:\\a\\empty\\"), Paths{});
  EXPECT_EQ(Run("C:\\gone\\"), Paths{});
  EXPECT_EQ(Count(datafiles::kTotal), 2);
}

TEST_F(Scan, CountsFilesOnlyAndFollowsNoLinkToAFolder) {
  testing_support::TempDrives elsewhere{"C"};  // outside the drive
  elsewhere.Write("C:\\outside.wav", "x");
  const std::string outside = elsewhere.Host("C:\\");
  platform::SetDriveMap(platform::DriveMap::FromEnvironment());  // `elsewhere` took the map
  Touch("C:\\real.wav");
  ASSERT_EQ(::symlink(outside.c_str(), Host("linked folder").c_str()), 0);
  ASSERT_EQ(::symlink(Host("real.wav").c_str(), Host("alias.wav").c_str()), 0);
  ASSERT_EQ(::symlink(Host("missing.wav").c_str(), Host("dead.wav").c_str()), 0);
  ASSERT_EQ(::symlink(outside.c_str(), Host("folder.wav").c_str()), 0);
  ASSERT_EQ(::mkfifo(Host("pipe.wav").c_str(), 0600), 0);
  EXPECT_EQ(Run(), (Paths{"C:\\alias.wav", "C:\\real.wav"}));
}

TEST_F(Scan, SkipsNamesThatCannotBeStored) {
  std::filesystem::create_directories(Host("back\\slash"));
  for (const char* name : {"a\\b.wav", "cr\r.wav", "lf\n.wav", "back\\slash/inside.wav", "fine, with comma.wav"}) {
    std::ofstream(Host(name)) << "x";
  }
  EXPECT_EQ(Run(), (Paths{"C:\\fine, with comma.wav"}));
}

TEST_F(Scan, WalksTreesDeeperThanItKeepsFoldersOpen) {
  std::string dos = "C:\\", host = root_;
  Paths expected;
  for (int level = 0; level < 150; ++level) {
    dos += "d\\";
    host += "/d";
    expected.push_back(dos + "f.wav");
  }
  std::filesystem::create_directories(host);
  std::string at = root_;
  for (int level = 0; level < 150; ++level) {
    at += "/d";
    std::ofstream(at + "/f.wav") << "x";
  }
  EXPECT_EQ(Run(), expected);
}

TEST(ScanFileSystems, StaysOnTheDrivesOwnFileSystem) {
  // /dev/shm is a file system of its own below /dev on the machines this runs on.
  struct stat dev {}, shm {};
  if (::stat("/dev", &dev) != 0 || ::stat("/dev/shm", &shm) != 0 || dev.st_dev == shm.st_dev ||
      ::access("/dev/shm", W_OK) != 0) {
    GTEST_SKIP() << "no separate file system below /dev";
  }
  const std::string file = "/dev/shm/tolvan-scan-" + std::to_string(::getpid()) + ".wav";
  std::ofstream(file) << "x";
  platform::DriveMap previous = platform::CurrentDriveMap();
  platform::SetDriveMap(platform::DriveMap({{'D', "/dev"}, {'E', "/dev/shm"}}));
  DriveTypeCounts counts{};
  Paths onDev = ScanFolderForAudio("D:\\", 1, counts);
  Paths onShm = ScanFolderForAudio("E:\\", 2, counts);
  platform::SetDriveMap(previous);
  std::filesystem::remove(file);
  for (const std::string& p : onDev) EXPECT_NE(p.rfind("D:\\shm\\", 0), 0u) << p;
  const std::string own = "E:\\" + file.substr(9);
  EXPECT_NE(std::find(onShm.begin(), onShm.end(), own), onShm.end()) << "its own drive lists it";
}

}  // namespace
