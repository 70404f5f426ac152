#include <gtest/gtest.h>

#include "platform/core/codepage.h"

using namespace platform;

TEST(CodePage, Windows1252BecomesUtf8) {
  EXPECT_EQ(Cp1252ToUtf8("abc"), "abc");
  EXPECT_EQ(Cp1252ToUtf8("\xA9 1999"), "\xC2\xA9 1999");           // copyright sign
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");                 // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\xBB"), std::string(kChr187));
  EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3)) << "NULs are kept";
}

TEST(CodePage, FitToWidthCutsBytesNeverInsideACharacter) {
  EXPECT_EQ(FitToWidth("Intro", 8), "Intro   ");
  EXPECT_EQ(FitToWidth("Intro music", 5), "Intro");
  EXPECT_EQ(FitToWidth("caf\xC3\xA9!", 4), "caf ") << "the two-byte e-acute does not fit in one byte";
  EXPECT_EQ(FitToWidth("caf\xC3\xA9!", 5), "caf\xC3\xA9");
}

TEST(CodePage, TrimAndLowerCase) {
  EXPECT_EQ(TrimRight("a b  "), "a b");
  EXPECT_EQ(Trim("  n/a "), "n/a");
  EXPECT_EQ(LowerCase("C:\\Music\\\xC3\x89T\xC3\x89.WAV"), "c:\\music\\\xC3\xA9t\xC3\xA9.wav");
  EXPECT_EQ(LowerCase("\xC3\x97"), "\xC3\x97");
  EXPECT_EQ(ReplaceAll("a,b,,c", ",", std::string(kChr187)), "a\xC2\xBB" "b\xC2\xBB\xC2\xBB" "c");
}
