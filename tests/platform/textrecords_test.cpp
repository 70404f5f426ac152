#include <gtest/gtest.h>

#include "platform/core/errors.h"
#include "platform/core/textrecords.h"

using namespace platform;

TEST(ListWriter, WritesTextsBareAndNumbersWithSignBlank) {
  ListWriter w;
  w.Text("c:\\").Text("n/a ").Number(0).Number(1).Number(1).Number(0).Text("None selected").Number(1).EndLine();
  EXPECT_EQ(w.str(), "c:\\,n/a , 0 , 1 , 1 , 0 ,None selected, 1 \r\n");
  EXPECT_EQ(w.str().size(), 44u);
  ListWriter n;
  n.Number(-3).Number(12).EndLine();
  EXPECT_EQ(n.str(), "-3 , 12 \r\n");
}

TEST(ListWriter, QuotesOnlyTextsThatHoldACommaOrTheyWouldSplit) {
  ListWriter w;
  w.Text("Intro, part 1").Text("C:\\a.wav").Text("True").EndLine();
  EXPECT_EQ(w.str(), "\"Intro, part 1\",C:\\a.wav,True\r\n");
  ListReader r(w.str());
  EXPECT_EQ(r.Field(), "Intro, part 1");
  EXPECT_EQ(r.Field(), "C:\\a.wav");
  EXPECT_EQ(r.Field(), "True");
  EXPECT_TRUE(r.AtEnd());
}

TEST(ListReader, SplitsAtCommasAndLineEndsSkippingLeadingBlanks) {
  ListReader r("7,,False\r\n  Intro ,C:\\x.wav,True\r\nlast");
  EXPECT_EQ(r.Field(), "7");
  EXPECT_EQ(r.Field(), "");
  EXPECT_EQ(r.Field(), "False");
  EXPECT_EQ(r.Field(), "Intro ");
  EXPECT_EQ(r.Field(), "C:\\x.wav");
  EXPECT_EQ(r.Field(), "True");
  EXPECT_EQ(r.Field(), "last");
  EXPECT_TRUE(r.AtEnd());
  EXPECT_THROW(r.Field(), VbError);
}

TEST(ListReader, ReadsNumbersAndRefusesTextWhereANumberBelongs) {
  ListReader r(" 12 ,-3 , ,abc\r\n");
  EXPECT_EQ(r.NumberField(), 12);
  EXPECT_EQ(r.NumberField(), -3);
  EXPECT_EQ(r.NumberField(), 0);
  try {
    r.NumberField();
    FAIL();
  } catch (const VbError& e) {
    EXPECT_EQ(e.number(), errTypeMismatch);
  }
}

TEST(ListReader, TrailingEmptyFieldsBeforeTheLineEnd) {
  ListReader r("C:,\\M\\,a,wav,,\r\nnext");
  for (const char* want : {"C:", "\\M\\", "a", "wav", "", ""}) EXPECT_EQ(r.Field(), want);
  EXPECT_EQ(r.Field(), "next");
}

TEST(ListReader, QuotedFieldRunsToTheNextQuote) {
  ListReader r("\"a,b\" x,c\r\n\"unclosed");
  EXPECT_EQ(r.Field(), "a,b");
  EXPECT_EQ(r.Field(), "c");
  EXPECT_EQ(r.Field(), "unclosed");
}

TEST(ListReader, LineTakesTheWholeLine) {
  ListReader r("Last Updated:  12/10/2026, 8:00\r\n 1 , 2 \r\n");
  EXPECT_EQ(r.Line(), "Last Updated:  12/10/2026, 8:00");
  EXPECT_EQ(r.NumberField(), 1);
  EXPECT_EQ(r.NumberField(), 2);
  EXPECT_TRUE(r.AtEnd());
}

struct FieldCase {
  const char* text;
  const char* written;
};

class FieldEncoder : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldEncoder, WritesPlainTextsBareAndReadsEveryTextBackWhole) {
  const FieldCase& c = GetParam();
  EXPECT_EQ(EncodeField(c.text), c.written);
  ListWriter w;
  w.Text(c.text).Number(7).Text(c.text).EndLine();
  ListReader r(w.str());
  EXPECT_EQ(r.Field(), c.text);
  EXPECT_EQ(r.NumberField(), 7);
  EXPECT_EQ(r.FieldView(), c.text);
  EXPECT_TRUE(r.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    HostileTexts, FieldEncoder,
    ::testing::Values(FieldCase{"", ""}, FieldCase{"C:\\Music\\a.wav", "C:\\Music\\a.wav"},
                      FieldCase{"in\"ner", "in\"ner"}, FieldCase{"a, b", "\"a, b\""},
                      FieldCase{"\"quoted\" start", "\"\"\"quoted\"\" start\""},
                      FieldCase{" lead", "\" lead\""}, FieldCase{"\tTab", "\"\tTab\""},
                      FieldCase{"two\r\nlines", "\"two\r\nlines\""},
                      FieldCase{"a\xC2\xBB" "b.wav", "a\xC2\xBB" "b.wav"},
                      FieldCase{"\"", "\"\"\"\""}, FieldCase{"\"\"", "\"\"\"\"\"\""},
                      FieldCase{"caf\xC3\xA9, \"x\"", "\"caf\xC3\xA9, \"\"x\"\"\""}));

TEST(ListReader, UnclosedQuotedFieldRunsToTheEndWithoutLosingText) {
  const std::string text = "\"never \"\" closed, \r\nstill";
  std::string out;
  EXPECT_EQ(ReadQuotedField(text.data(), text.data() + text.size(), out), text.data() + text.size());
  EXPECT_EQ(out, "never \" closed, \r\nstill");
}

class NameField : public ::testing::TestWithParam<FieldCase> {};

// A name is stored with 187 for its commas where that gives a plain field; one holding a real
// 187, or still not plain, is quoted with its commas, and the reader tells the two apart.
TEST_P(NameField, StoresCommasAs187UnlessQuotingIsNeededAndReadsBackTheName) {
  const FieldCase& c = GetParam();
  std::string out;
  AppendNameField(out, c.text);
  EXPECT_EQ(out, c.written);
  ListReader r(out + ",x\r\n");
  std::string back = r.Field();
  if (!r.lastQuoted()) RestoreNameCommas(back);
  EXPECT_EQ(back, c.text);
  EXPECT_FALSE(r.lastEndedLine());
  EXPECT_EQ(r.Field(), "x");
  EXPECT_TRUE(r.lastEndedLine());
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameField,
    ::testing::Values(FieldCase{"", ""}, FieldCase{"\\Music\\", "\\Music\\"},
                      FieldCase{"Me, You", "Me\xC2\xBB You"}, FieldCase{"a\xC2\xBB" "b", "\"a\xC2\xBB" "b\""},
                      FieldCase{"a,b\xC2\xBB", "\"a,b\xC2\xBB\""}, FieldCase{" a,b", "\" a,b\""},
                      FieldCase{"\"a\",b", "\"\"\"a\"\",b\""}, FieldCase{"it's \"x\"", "it's \"x\""},
                      FieldCase{"a\nb", "\"a\nb\""}));
