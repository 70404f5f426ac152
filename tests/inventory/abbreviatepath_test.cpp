#include <gtest/gtest.h>

#include <string>

#include "inventory/abbreviatepath.h"

namespace {

struct AbbreviateCase {
  const char* name;
  std::string path;
  int maximum;
  std::string expected;
};

void PrintTo(const AbbreviateCase& c, std::ostream* os) { *os << c.name; }

class Abbreviate : public ::testing::TestWithParam<AbbreviateCase> {};

TEST_P(Abbreviate, ShortensAroundTheFileName) {
  const AbbreviateCase& c = GetParam();
  EXPECT_EQ(AbbreviatePath(c.path, c.maximum), c.expected);
}

const std::string kDeep = "C:\\Music\\Jazz\\Artists\\Some Artist\\Album Name\\01 Track.mp3";

INSTANTIATE_TEST_SUITE_P(
    Table, Abbreviate,
    ::testing::Values(
        AbbreviateCase{"CutsTheLeadingPartInsideAFolderName", kDeep, 40, "C:\\Music\\Jazz\\Artists\\So...\\01 Track.mp3"},
        AbbreviateCase{"DrivelessPath", kDeep.substr(2), 40, "\\Music\\Jazz\\Artists\\Some...\\01 Track.mp3"},
        AbbreviateCase{"LongNameKeepsOnlyTheRoot", "C:\\Music\\A very long file name for the abbreviation test.wav", 40,
                       "C:\\...\\A very long file name for the abbreviation test.wav"},
        AbbreviateCase{"RootFileUnchanged", "C:\\song.wav", 5, "C:\\song.wav"},
        AbbreviateCase{"ShortFormLongerThanThePath", "C:\\a\\b.wav", 8, "C:\\...\\b.wav"},
        AbbreviateCase{"DrivelessKeepsTheFirstFolder", "\\Music\\Jazz\\song.wav", 10, "\\Music\\...\\song.wav"},
        AbbreviateCase{"EmptyPath", "", 0, ""},
        AbbreviateCase{"BareName", "song.wav", 2, "song.wav"},
        AbbreviateCase{"LeadingBackslashIsNotCounted", "\\Music\\song.wav", 3, "\\Music\\song.wav"},
        AbbreviateCase{"ExactlyTheMaximum", "C:\\Music\\Jazz\\song.wav", 22, "C:\\Music\\Jazz\\song.wav"},
        AbbreviateCase{"OneLongerIsCutToTheMaximum", "C:\\Music\\Jazz\\song.wav", 21, "C:\\Music\\...\\song.wav"},
        AbbreviateCase{"ShortFormExactlyTheMaximum", "C:\\Music\\Jazz\\song.wav", 15, "C:\\...\\song.wav"},
        AbbreviateCase{"EndingInABackslash", "C:\\Music\\Jazz\\Artists\\", 10, "C:\\Mus...\\"},
        AbbreviateCase{"NegativeMaximum", "C:\\a\\b.wav", -5, "C:\\...\\b.wav"},
        // UTF-16 units, not bytes: "é" is one, a character beyond the basic plane two, and the cut
        // never splits one.
        AbbreviateCase{"CountsCharactersNotBytes", "C:\\Mus\xC3\xA9\x65s\\Jazz\\song.wav", 23,
                       "C:\\Mus\xC3\xA9\x65s\\Jazz\\song.wav"},
        AbbreviateCase{"CutsBeforeAWholeCharacter", "C:\\\xF0\x9F\x98\x80\xF0\x9F\x98\x80\\Jazz\\song.wav", 18,
                       "C:\\\xF0\x9F\x98\x80...\\song.wav"}));

}  // namespace
