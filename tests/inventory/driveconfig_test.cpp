#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "inventory/driveconfig.h"
#include "inventory_test_support.h"
#include "support/temp_drives.h"

using inventory::DriveConfiguration;
using inventory_testing::FakeDriveFacts;

namespace {

using namespace std::string_literals;

struct PopCase {
  std::string list;
  std::string popped;
  std::string rest;
};

class PopNull : public ::testing::TestWithParam<PopCase> {};

TEST_P(PopNull, TakesTheTextBeforeTheFirstNul) {
  std::string list = GetParam().list;
  EXPECT_EQ(inventory::PopNullTerminated(list), GetParam().popped);
  EXPECT_EQ(list, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Table, PopNull,
                         ::testing::Values(PopCase{"C:\\\0D:\\\0\0"s, "C:\\", "D:\\\0\0"s},
                                           PopCase{"\0"s, "", ""}, PopCase{"no nul", "", "no nul"},
                                           PopCase{"", "", ""}, PopCase{"\0\0"s, "", "\0"s}));

struct IconCase {
  int type;
  const char* drive;
  int icon;
};

class DriveIcons : public ::testing::TestWithParam<IconCase> {};

TEST_P(DriveIcons, FollowTheDriveType) {
  EXPECT_EQ(inventory::DriveIconNumber(GetParam().type, GetParam().drive), GetParam().icon);
}

INSTANTIATE_TEST_SUITE_P(Table, DriveIcons,
                         ::testing::Values(IconCase{0, "C:", 104}, IconCase{1, "C:", 104}, IconCase{2, "A:", 105},
                                           IconCase{2, "B:", 105}, IconCase{2, "b:", 105}, IconCase{2, "E:", 104},
                                           IconCase{3, "A:", 104}, IconCase{4, "N:", 106}, IconCase{5, "D:", 102},
                                           IconCase{6, "R:", 103}, IconCase{9, "C:", 104}));

TEST(ReadDriveConfiguration, NumbersTheDrivesInListOrderWithTheirIcons) {
  FakeDriveFacts facts;
  facts.types = {{'A', platform::kDriveRemovable}, {'C', platform::kDriveFixed}, {'D', platform::kDriveCdrom},
                 {'E', platform::kDriveRemovable}};
  DriveConfiguration config;
  config.gDriveFileLists = std::vector<std::vector<std::string>>(9, {"kept"});
  inventory::ReadDriveConfiguration(config, "a:\\\0C:\\\0D:\\\0E:\\\0\0"s, facts);
  EXPECT_EQ(config.gDriveCount, 4);
  EXPECT_EQ(config.gDriveLetters, (std::vector<std::string>{"", "A:", "C:", "D:", "E:", ""}));
  EXPECT_EQ(config.gDriveIcons, (std::vector<std::int32_t>{0, 105, 104, 102, 104, 0}));
  EXPECT_EQ(facts.asked, "A: C: D: E: ") << "the two-character name is the root asked about";
  ASSERT_EQ(config.gDriveFileLists.size(), 6u);
  EXPECT_EQ(config.gDriveFileLists[1], std::vector<std::string>{"kept"}) << "resized, contents kept";
}

TEST(ReadDriveConfiguration, EndsOnAnEmptyOrUnterminatedListAndAtTwentySixDrives) {
  FakeDriveFacts facts;
  DriveConfiguration config;
  inventory::ReadDriveConfiguration(config, "", facts);
  EXPECT_EQ(config.gDriveCount, 0);
  inventory::ReadDriveConfiguration(config, "C:\\\0D:\\"s, facts);
  EXPECT_EQ(config.gDriveCount, 1) << "an entry without its NUL ends the list";
  inventory::ReadDriveConfiguration(config, "C:\\\0\0D:\\\0\0"s, facts);
  EXPECT_EQ(config.gDriveCount, 1) << "the double NUL ends it";
  std::string many;
  for (int i = 0; i < 30; ++i) many += std::string(1, static_cast<char>('A' + i % 26)) + ":\\" + '\0';
  inventory::ReadDriveConfiguration(config, many + '\0', facts);
  EXPECT_EQ(config.gDriveCount, 26);
  EXPECT_EQ(config.gDriveLetters.size(), 28u);
  EXPECT_EQ(config.gDriveLetters[26], "Z:");
  EXPECT_EQ(config.gDriveLetters[27], "");
}

TEST(ReadDriveConfiguration, ReadsTheCurrentDriveMap) {
  testing_support::TempDrives drives("CDG");
  FakeDriveFacts facts;
  facts.types = {{'G', platform::kDriveRemote}};
  DriveConfiguration config;
  inventory::ReadDriveConfiguration(config);
  EXPECT_EQ(config.gDriveLetters, (std::vector<std::string>{"", "C:", "D:", "G:", ""}));
  EXPECT_EQ(config.gDriveIcons, (std::vector<std::int32_t>{0, 104, 104, 106, 0}));
}

}  // namespace
