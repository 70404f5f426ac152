#include <gtest/gtest.h>

#include <string>

#include "platform/core/driveinfo.h"
#include "platform/core/drives.h"
#include "support/temp_drives.h"

using platform::MountEntry;

namespace {

const char* const kMountInfo =
    "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
    "28 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
    "40 28 8:17 / /media/user/My\\040Stick rw,nosuid shared:9 master:2 - vfat /dev/sdb1 rw\n"
    "41 28 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n"
    "42 28 0:50 / /mnt/share rw - cifs //server/music rw\n"
    "43 28 254:0 /srv /mnt/bound rw - ext4 /dev/vda rw\n"
    "garbage line\n";

TEST(MountInfo, ParsesEveryMountWithItsDeviceAndType) {
  auto mounts = platform::ParseMountInfo(kMountInfo);
  ASSERT_EQ(mounts.size(), 6u);
  EXPECT_EQ(mounts[2].mountPoint, "/media/user/My Stick");
  EXPECT_EQ(mounts[2].fsType, "vfat");
  EXPECT_EQ(mounts[2].source, "/dev/sdb1");
  EXPECT_EQ(mounts[2].major, 8u);
  EXPECT_EQ(mounts[2].minor, 17u);
  EXPECT_EQ(mounts[4].source, "//server/music");
}

TEST(MountInfo, AFolderLiesOnTheDeepestMountOfItsDevice) {
  auto mounts = platform::ParseMountInfo(kMountInfo);
  EXPECT_EQ(platform::MountOfFolder(mounts, 254, 0, "/home/user/Music")->mountPoint, "/");
  EXPECT_EQ(platform::MountOfFolder(mounts, 254, 0, "/mnt/bound/x")->mountPoint, "/mnt/bound");
  EXPECT_EQ(platform::MountOfFolder(mounts, 8, 17, "/media/user/My Stick/a")->mountPoint, "/media/user/My Stick");
  EXPECT_EQ(platform::MountOfFolder(mounts, 8, 17, "/elsewhere")->mountPoint, "/media/user/My Stick")
      << "a device seen under another name still names its mount";
  EXPECT_FALSE(platform::MountOfFolder(mounts, 9, 9, "/"));
}

struct TypeCase {
  const char* fsType;
  const char* source;
  bool removable;
  int type;
};

class MountTypes : public ::testing::TestWithParam<TypeCase> {};

TEST_P(MountTypes, GiveThePlatformsDriveType) {
  MountEntry m;
  m.fsType = GetParam().fsType;
  m.source = GetParam().source;
  EXPECT_EQ(platform::DriveTypeOfMount(m, GetParam().removable), GetParam().type);
}

INSTANTIATE_TEST_SUITE_P(Table, MountTypes,
                         ::testing::Values(TypeCase{"ext4", "/dev/sda1", false, platform::kDriveFixed},
                                           TypeCase{"vfat", "/dev/sdb1", true, platform::kDriveRemovable},
                                           TypeCase{"iso9660", "/dev/sr0", true, platform::kDriveCdrom},
                                           TypeCase{"udf", "/dev/loop3", false, platform::kDriveCdrom},
                                           TypeCase{"nfs4", "server:/music", false, platform::kDriveRemote},
                                           TypeCase{"cifs", "//server/music", false, platform::kDriveRemote},
                                           TypeCase{"tmpfs", "tmpfs", false, platform::kDriveRamdisk},
                                           TypeCase{"btrfs", "/dev/nvme0n1p2", false, platform::kDriveFixed}));

TEST(VolumeNames, SerialNumbersComeFromTheUuidsLowBits) {
  EXPECT_EQ(platform::SerialFromUuid("ABCD-1234"), 0xABCD1234u);
  EXPECT_EQ(platform::SerialFromUuid("0123456789ABCDEF"), 0x89ABCDEFu);
  EXPECT_EQ(platform::SerialFromUuid("5d1f3c3e-7a4b-4c2d-9e8f-0a1b2c3d4e5f"), 0x2c3d4e5fu);
  EXPECT_EQ(platform::SerialFromUuid("1a"), 0x1Au);
  EXPECT_FALSE(platform::SerialFromUuid(""));
  EXPECT_FALSE(platform::SerialFromUuid("--"));
}

TEST(VolumeNames, LabelsLoseUdevsEscapes) {
  EXPECT_EQ(platform::DecodeUdevName("My\\x20Music"), "My Music");
  EXPECT_EQ(platform::DecodeUdevName("A\\x2fB\\x5c"), "A/B\\");
  EXPECT_EQ(platform::DecodeUdevName("plain\\x2"), "plain\\x2");
}

TEST(HostDriveFacts, AnswerForMappedFoldersAndFailForOthers) {
  testing_support::TempDrives drives("C");
  platform::SetDriveMap(platform::DriveMap({{'C', drives.Host("C:\\")}, {'M', drives.Host("C:\\") + "/missing"}}));
  platform::HostDriveFacts facts;
  const int type = facts.GetDriveType("C:");
  EXPECT_TRUE(type == platform::kDriveFixed || type == platform::kDriveRamdisk || type == platform::kDriveRemovable)
      << type;
  auto volume = facts.GetVolumeInformation("C:\\");
  ASSERT_TRUE(volume);
  EXPECT_FALSE(volume->fileSystemName.empty());
  auto space = facts.GetDiskFreeSpaceEx("C:\\");
  ASSERT_TRUE(space);
  EXPECT_GT(space->totalBytes, 0u);
  EXPECT_LE(space->totalFreeBytes, space->totalBytes);
  EXPECT_LE(space->freeBytesAvailable, space->totalFreeBytes);
  for (const char* root : {"Q:\\", "M:\\"}) {
    EXPECT_EQ(facts.GetDriveType(root), platform::kDriveNoRootDir) << root;
    EXPECT_FALSE(facts.GetVolumeInformation(root)) << root;
    EXPECT_FALSE(facts.GetDiskFreeSpaceEx(root)) << root;
  }
}

}  // namespace
