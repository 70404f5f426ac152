#include <gtest/gtest.h>

#include "platform/core/drives.h"

using platform::DriveMap;

TEST(DriveMap, ParsesTheEnvironmentForm) {
  DriveMap map = DriveMap::Parse("D=/media/usb;c=/home/me/music/;bad;E:=/net/share;Q=relative");
  ASSERT_EQ(map.drives().size(), 3u);
  EXPECT_EQ(map.drives()[0].letter, 'C');
  EXPECT_EQ(map.drives()[0].hostRoot, "/home/me/music");
  EXPECT_EQ(map.drives()[1].letter, 'D');
  EXPECT_EQ(map.drives()[2].hostRoot, "/net/share");
}

struct Translation {
  const char* dos;
  const char* host;
};

void PrintTo(const Translation& t, std::ostream* os) { *os << t.dos; }

class PathTranslation : public ::testing::TestWithParam<Translation> {};

TEST_P(PathTranslation, GoesBothWays) {
  DriveMap map = DriveMap::Parse("C=/;D=/media/usb;E=/media/usb/inner");
  const Translation& t = GetParam();
  EXPECT_EQ(map.ToHost(t.dos).value_or("<none>"), t.host);
  EXPECT_EQ(map.ToDos(t.host).value_or("<none>"), t.dos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathTranslation,
    ::testing::Values(Translation{"C:\\", "/"}, Translation{"C:\\Music\\a.wav", "/Music/a.wav"},
                      Translation{"D:\\", "/media/usb"}, Translation{"D:\\Live\\x y.mp3", "/media/usb/Live/x y.mp3"},
                      Translation{"E:\\deep.wav", "/media/usb/inner/deep.wav"},
                      Translation{"C:\\media\\usbstick", "/media/usbstick"}));

TEST(DriveMap, ToleratesLowerCaseLettersAndDoubledSeparators) {
  DriveMap map = DriveMap::Parse("C=/srv/c");
  EXPECT_EQ(map.ToHost("c:\\").value(), "/srv/c");
  EXPECT_EQ(map.ToHost("c:\\a\\\\b/c.wav").value(), "/srv/c/a/b/c.wav");
  EXPECT_EQ(map.ToHost("C:").value(), "/srv/c");
  EXPECT_FALSE(map.ToHost("D:\\x").has_value());
  EXPECT_FALSE(map.ToHost("relative\\x").has_value());
}

TEST(DriveMap, RefusesHostPathsOutsideTheDrivesOrWithBackslashes) {
  DriveMap map = DriveMap::Parse("C=/srv/c");
  EXPECT_FALSE(map.ToDos("/srv/cd/x").has_value());
  EXPECT_FALSE(map.ToDos("/srv/c/odd\\name.wav").has_value());
  EXPECT_FALSE(map.ToDos("relative").has_value());
}

TEST(DriveMap, DefaultMapTakesRootThenFurtherDisksInMountPointOrder) {
  const std::string table =
      "/dev/vda / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "tmpfs /dev/shm tmpfs rw 0 0\n"
      "/dev/sdb1 /mnt/zdisk ext4 rw 0 0\n"
      "server:/music /net/music nfs4 rw 0 0\n"
      "/dev/sdc1 /media/me/a\\040stick vfat rw 0 0\n"
      "/dev/sdd1 /run/media/me/CD iso9660 ro 0 0\n"
      "/dev/vda1 /boot ext4 rw 0 0\n"
      "/dev/vda /etc/hosts ext4 rw 0 0\n";
  DriveMap map = DriveMap::FromMountTable(table, [](const std::string& p) { return p != "/etc/hosts"; });
  std::vector<std::string> roots;
  for (const auto& d : map.drives()) roots.push_back(std::string(1, d.letter) + "=" + d.hostRoot);
  EXPECT_EQ(roots, (std::vector<std::string>{"C=/", "D=/media/me/a stick", "E=/mnt/zdisk", "F=/net/music",
                                              "G=/run/media/me/CD"}));
}

TEST(DriveMap, LogicalDriveStringsEndInTwoNuls) {
  DriveMap map = DriveMap::Parse("C=/a;D=/b");
  EXPECT_EQ(map.LogicalDriveStrings(), std::string("C:\\\0D:\\\0\0", 9));
}
