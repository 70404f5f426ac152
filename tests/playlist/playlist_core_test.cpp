// The playlist editor's Qt-free core: play-time texts, the .m3u file, the player's rules.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "playlist/m3u.h"
#include "playlist/playerrules.h"
#include "playlist/playtime.h"
#include "support/temp_drives.h"

namespace {

struct TimeCase {
  long long seconds;
  const char* text;
};

TEST(FormatPlayTime, GivesMinutesOrHoursWithTwoTrailingBlanks) {
  const TimeCase cases[] = {
      {0, "0:00  "},       {5, "0:05  "},       {65, "1:05  "},         {600, "10:00  "},
      {3599, "59:59  "},   {3600, "1:00:00  "}, {3725, "1:02:05  "},    {5400, "1:30:00  "},
      {7199, "1:59:59  "}, {32767, "9:06:07  "}, {36000, "10:00:00  "}, {400000, "111:06:40  "},
      {-1, "0:00  "},
  };
  for (const TimeCase& c : cases) EXPECT_EQ(FormatPlayTime(c.seconds), c.text) << c.seconds;
}

TEST(FormatPlayTime, RoundsHalvesToEvenAndCutsElapsedTimes) {
  EXPECT_EQ(RoundSeconds(2.5), 2);
  EXPECT_EQ(RoundSeconds(3.5), 4);
  EXPECT_EQ(RoundSeconds(0.49), 0);
  EXPECT_EQ(RoundSeconds(-3), 0);
  EXPECT_EQ(WholeSeconds(59.99), 59);
  EXPECT_EQ(WholeSeconds(-0.5), 0);
}

class M3uTest : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"CD"};
  const platform::DriveMap& map() const { return platform::CurrentDriveMap(); }
};

TEST_F(M3uTest, ReadsDriveAndMappedHostPathsAndSkipsTheRest) {
  const std::string hostD = drives.Host("D:\\Songs\\b.wav");
  const std::string bytes = "#EXTM3U\r\n"
                            "#EXTINF:123,Artist - C:\\x.mp3\r\n"
                            "C:\\Music\\Hello, World.mp3\r\n"
                            "   \"C:\\Music\\Quoted.wav\"\r\n"
                            "Music\\Relative.mp3\n"
                            "..\\Up.mp3\n"
                            "c:/music/t4.au\n"
                            "\r\n"
                            "http://host/stream.mp3\r\n" +
                            hostD + "\r\n"
                            "/nowhere/at/all.mp3";
  const std::vector<std::string> expected = {"C:\\Music\\Hello, World.mp3", "C:\\Music\\Quoted.wav", "..\\Up.mp3",
                                             "c:\\music\\t4.au", "D:\\Songs\\b.wav", "/nowhere/at/all.mp3"};
  EXPECT_EQ(ReadPlaylistEntries(bytes, map()), expected);
}

// An empty row (the one row of an empty list) is no track: no empty line is written for it.
TEST_F(M3uTest, WritesHostPathsEndedByCrLfAndReadsThemBack) {
  const std::vector<std::string> paths = {"C:\\Music\\Hello, World.mp3", "D:\\b.wav", "", "/nowhere/x.mp3"};
  const std::string bytes = PlaylistFileBytes(paths, map());
  EXPECT_EQ(bytes, drives.Host("C:\\Music\\Hello, World.mp3") + "\r\n" + drives.Host("D:\\b.wav") + "\r\n" +
                       "/nowhere/x.mp3\r\n");
  EXPECT_EQ(PlaylistFileBytes({""}, map()), "");
  // A forward-slash drive path read in is written as the host path it names.
  EXPECT_EQ(PlaylistFileBytes(ReadPlaylistEntries("C:/Music/a.au\r\n", map()), map()),
            drives.Host("C:\\Music\\a.au") + "\r\n");
  EXPECT_EQ(ReadPlaylistEntries(bytes, map()),
            (std::vector<std::string>{"C:\\Music\\Hello, World.mp3", "D:\\b.wav", "/nowhere/x.mp3"}));
}

TEST_F(M3uTest, WriteReplacesThroughATwinAndLeavesAReadOnlyListAlone) {
  drives.Write("C:\\lists\\a.m3u", "old\r\n");
  WritePlaylistBytes("C:\\lists\\a.m3u", {"C:\\x.wav"}, map());
  EXPECT_EQ(drives.Read("C:\\lists\\a.m3u"), drives.Host("C:\\x.wav") + "\r\n");
  EXPECT_FALSE(drives.Exists("C:\\lists\\a.m3u.tmp"));
  platform::SetReadOnly("C:\\lists\\a.m3u", true);
  EXPECT_THROW(WritePlaylistBytes("C:\\lists\\a.m3u", {"C:\\y.wav"}, map()), platform::VbError);
  EXPECT_EQ(drives.Read("C:\\lists\\a.m3u"), drives.Host("C:\\x.wav") + "\r\n");
}

TEST(TrackTitle, DropsTheExtensionOfMp3OnlyInAnyCase) {
  EXPECT_EQ(TrackTitle("C:\\Music\\Song.MP3"), "Song");
  EXPECT_EQ(TrackTitle("C:\\Music\\Song.wav"), "Song.wav");
  EXPECT_EQ(TrackTitle("C:\\Music\\Song"), "Song");
  EXPECT_EQ(TrackTitle("C:\\Mu.mp3\\Song"), "Song");
  // A track on none of the drives keeps its host path: its title is still the file's name.
  EXPECT_EQ(TrackTitle("/nowhere/at/all.mp3"), "all");
  EXPECT_EQ(TrackTitle("/nowhere/at/all.wav"), "all.wav");
}

// Validity patterns as strings: 'v' a valid row, 'x' an invalid one.
playerrules::RowValid Pattern(const std::string& p) {
  return [p](int r) { return r >= 0 && r < static_cast<int>(p.size()) && p[r] == 'v'; };
}

struct MoveCase {
  const char* pattern;
  playerrules::Target target;
  int current;
  int expected;
};

TEST(PlayerRules, TargetMovesStayInsideTheGrid) {
  using enum playerrules::Target;
  const MoveCase cases[] = {
      {"xxvv", Head, 4, 3}, {"vvv", Head, 2, 1},   {"xxx", Head, 2, 2},  {"vxv", Next, 1, 3},
      {"vvxx", Next, 2, 2}, {"vxxx", Next, 1, 1},  {"xxx", Next, 3, 3},  {"vxxv", Prev, 4, 1},
      {"xxv", Prev, 3, 3},  {"xxvv", Prev, 4, 3},  {"xxx", Prev, 1, 1},  {"vv", Curr, 2, 2},
      {"vv", Next, 2, 2},   {"vv", Prev, 1, 1},
  };
  for (const MoveCase& c : cases) {
    const int rows = static_cast<int>(std::string(c.pattern).size());
    EXPECT_EQ(playerrules::MoveTarget(c.target, c.current, rows, Pattern(c.pattern), 0), c.expected)
        << c.pattern << " " << static_cast<int>(c.target) << " from " << c.current;
  }
  EXPECT_EQ(playerrules::MoveTarget(Clik, 1, 3, Pattern("vxv"), 1), 2);
  EXPECT_EQ(playerrules::MoveTarget(Clik, 1, 3, Pattern("vvv"), 40), 3);
}

struct ContinuationCase {
  const char* pattern;
  int current;
  const char* expected;
};

TEST(PlayerRules, ContinuationPlaysTheNextValidTrackOrGoesBackToTheHead) {
  const ContinuationCase cases[] = {
      {"vvv", 1, "PlayNext"}, {"vxv", 1, "PlayNext"}, {"vvv", 3, "LoadHead"},
      {"vvx", 2, "LoadHead"}, {"vvxx", 2, "LoadHead"}, {"xvxxv", 2, "PlayNext"},
  };
  for (const ContinuationCase& c : cases) {
    const int rows = static_cast<int>(std::string(c.pattern).size());
    EXPECT_EQ(playerrules::CommandCode(playerrules::ContinuationCommand(c.current, rows, Pattern(c.pattern))),
              c.expected)
        << c.pattern << " after " << c.current;
  }
}

TEST(PlayerRules, EveryCommandInUseParsesToItsActionAndTargetAndBack) {
  using enum playerrules::Action;
  using enum playerrules::Target;
  struct Case {
    const char* code;
    playerrules::Command command;
  };
  const Case cases[] = {
      {"PlayCurr", {Play, Curr}},  {"ResuCurr", {Resume, Curr}}, {"PausCurr", {Pause, Curr}},
      {"StopCurr", {Stop, Curr}},  {"LoadNext", {Load, Next}},   {"LodpNext", {LoadPaused, Next}},
      {"PlayNext", {Play, Next}},  {"LoadPrev", {Load, Prev}},   {"LodpPrev", {LoadPaused, Prev}},
      {"PlayPrev", {Play, Prev}},  {"LoadClik", {Load, Clik}},   {"LodpClik", {LoadPaused, Clik}},
      {"PlayClik", {Play, Clik}},  {"LoadHead", {Load, Head}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(playerrules::ParseCommand(c.code), c.command) << c.code;
    EXPECT_EQ(playerrules::CommandCode(c.command), c.code);
  }
}

// An action the player has no operation for leaves it alone; any target but the four moves
// keeps the current track, a missing one included.
TEST(PlayerRules, UnknownLettersParseToNoActionAndNoMove) {
  using enum playerrules::Action;
  using enum playerrules::Target;
  const std::pair<const char*, playerrules::Command> cases[] = {
      {"SkipNext", {None, Next}}, {"PlayLast", {Play, Curr}}, {"Play", {Play, Curr}},  {"", {None, Curr}},
      {"playnext", {None, Curr}}, {"PlayNextX", {Play, Next}}, {"Pla", {None, Curr}}, {"StopHea", {Stop, Curr}},
  };
  for (const auto& [code, command] : cases) EXPECT_EQ(playerrules::ParseCommand(code), command) << code;
}

TEST(PlayerRules, ScrollKeepsTheCurrentRowInTheTwelveVisibleRows) {
  EXPECT_EQ(playerrules::ScrollTopRow(0, 20), 20);
  EXPECT_EQ(playerrules::ScrollTopRow(15, 22), 15);
  EXPECT_EQ(playerrules::ScrollTopRow(10, 4), 4);
  EXPECT_EQ(playerrules::ScrollTopRow(0, 11), 0);
  EXPECT_EQ(playerrules::ScrollTopRow(0, 12), 12);
}

// The eight letters of a command a button or click sends, "" for none.
std::string Code(const std::optional<playerrules::Command>& command) {
  return command ? playerrules::CommandCode(*command) : std::string();
}

TEST(PlayerRules, TransportTable) {
  using playerrules::Button;
  struct Case {
    Button button;
    int state;
    const char* expected;
  };
  const Case cases[] = {
      {Button::Play, 0, "PlayCurr"},  {Button::Play, 1, "ResuCurr"},  {Button::Play, 2, ""},
      {Button::Play, 6, ""},          {Button::Pause, 0, ""},         {Button::Pause, 1, "ResuCurr"},
      {Button::Pause, 2, "PausCurr"}, {Button::Pause, 6, ""},         {Button::Stop, 0, ""},
      {Button::Stop, 1, "StopCurr"},  {Button::Stop, 2, "StopCurr"},  {Button::Stop, 6, "StopCurr"},
      {Button::Fwd, 0, "LoadNext"},   {Button::Fwd, 1, "LodpNext"},   {Button::Fwd, 2, "PlayNext"},
      {Button::Fwd, 6, ""},           {Button::Rev, 0, "LoadPrev"},   {Button::Rev, 1, "LodpPrev"},
      {Button::Rev, 2, "PlayPrev"},   {Button::Rev, 6, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Code(playerrules::TransportCommand(c.button, c.state, true, true, true)), c.expected)
        << static_cast<int>(c.button) << " in state " << c.state;
  }
  EXPECT_EQ(Code(playerrules::TransportCommand(Button::Play, 0, false, true, true)), "");
  EXPECT_EQ(Code(playerrules::TransportCommand(Button::Fwd, 0, true, false, true)), "");
  EXPECT_EQ(Code(playerrules::TransportCommand(Button::Rev, 2, true, true, false)), "");
  EXPECT_EQ(Code(playerrules::ClickCommand(0, 2)), "LoadClik");
  EXPECT_EQ(Code(playerrules::ClickCommand(1, 2)), "");
  EXPECT_EQ(Code(playerrules::ClickCommand(1, 1)), "LodpClik");
  EXPECT_EQ(Code(playerrules::ClickCommand(2, 1)), "PlayClik");
  EXPECT_EQ(Code(playerrules::ClickCommand(6, 2)), "LoadClik");
}

}  // namespace
