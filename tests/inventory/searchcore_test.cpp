#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "analysis/audioproperties.h"
#include "datafiles/datafilenames.h"
#include "datafiles/inventoryline.h"
#include "datafiles/userdb.h"
#include "inventory/localfiletimes.h"
#include "inventory/searchcore.h"
#include "inventory/searchresult.h"
#include "inventory/wildcardpattern.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "support/temp_drives.h"

namespace {

using inventory::SearchHit;
using inventory::SearchOptions;
using inventory::WildcardPattern;
using Strings = std::vector<std::string>;

const std::string k187 = "\xC2\xBB";
const std::string kNoMatchLine = " ," + std::string(42, ' ') + ">> NO MATCHES FOUND <<, \r\n";

// ---- phrases and the pattern

struct SplitCase {
  const char* text;
  Strings phrases;
};

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, CutsAtEveryCommaAndTrimsBlanks) {
  EXPECT_EQ(inventory::SplitSearchPhrases(GetParam().text), GetParam().phrases);
}

INSTANTIATE_TEST_SUITE_P(Table, Split,
                         ::testing::Values(SplitCase{"", {""}}, SplitCase{"jazz", {"jazz"}},
                                           SplitCase{" live , jazz ", {"live", "jazz"}},
                                           SplitCase{"a,,b", {"a", "", "b"}}, SplitCase{"live,", {"live", ""}},
                                           SplitCase{",", {"", ""}}, SplitCase{"  ", {""}}));

struct MatchCase {
  const char* phrase;
  const char* text;  // lower-cased, as the search gives it
  bool matches;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << '"' << c.phrase << "\" on \"" << c.text << '"'; }

class Pattern : public ::testing::TestWithParam<MatchCase> {};

TEST_P(Pattern, MatchesAnywhereInTheText) {
  EXPECT_EQ(WildcardPattern(GetParam().phrase).Matches(GetParam().text), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Pattern,
    ::testing::Values(
        MatchCase{"", "", true}, MatchCase{"", "abc", true}, MatchCase{"b", "abc", true},
        MatchCase{"d", "abc", false}, MatchCase{"MUSIC", "c:\\music\\", true},
        MatchCase{"a?c", "xabcx", true}, MatchCase{"a?c", "ac", false}, MatchCase{"a*c", "a123c", true},
        MatchCase{"a*c", "ca", false}, MatchCase{"a*b*c", "axxbyyc", true}, MatchCase{"a*b*c", "acb", false},
        MatchCase{"take#", "take1.wav", true}, MatchCase{"take#", "takex.wav", false},
        MatchCase{"[abc]x", "bx", true}, MatchCase{"[!abc]x", "bx", false}, MatchCase{"[!abc]x", "dx", true},
        MatchCase{"[a-c]", "b", true}, MatchCase{"[a-c]", "d", false}, MatchCase{"[A-C]9", "b9", true},
        MatchCase{"[-a]", "-", true}, MatchCase{"[a-]", "-", true}, MatchCase{"[*]", "a*b", true},
        MatchCase{"[*]", "ab", false}, MatchCase{"[?]", "a?", true}, MatchCase{"[?]", "ab", false},
        MatchCase{"]", "a]", true}, MatchCase{"[]", "abc", false}, MatchCase{"[!]", "a", true},
        MatchCase{"[!]", "", false},
        // Characters, not bytes: "?" and a list take a whole UTF-8 character; Latin-1 capitals fold.
        MatchCase{"caf?", "caf\xC3\xA9", true}, MatchCase{"caf??", "caf\xC3\xA9", false},
        MatchCase{"[\xC3\xA9]", "caf\xC3\xA9", true}, MatchCase{"\xC3\x9C", "\xC3\xBC", true},
        // Not a pattern: an open list, a backward range.
        MatchCase{"[abc", "[abc", false}, MatchCase{"x[", "x[", false}, MatchCase{"[z-a]", "m", false}));

TEST(PatternCost, ManyStarsOverALongTextEndWithoutBacktracking) {
  const std::string text(200000, 'a');
  EXPECT_FALSE(WildcardPattern("a*a*a*a*a*a*a*a*a*a*a*a*b").Matches(text));
  EXPECT_FALSE(WildcardPattern("?a?a?a?a?a?a?a?a?b").Matches(text));
  EXPECT_TRUE(WildcardPattern("a*a*a*a*a*a*a*a*a*a*a*a*a").Matches(text));
}

// ---- the search over files on a test drive

analysis::AudioProperties Tagged(const std::string& prefix) {
  analysis::AudioProperties p;
  int k = 5;
  for (std::string* t : p.Texts()) *t = prefix + std::to_string(k++);
  return p;
}

class Search : public ::testing::Test {
 protected:
  ~Search() override { platform::InjectWriteFailureAfter(-1); }

  // A file of `length` bytes whose modification time is noon of 15 June 2024, local time.
  void File(const std::string& path, std::size_t length = 20) {
    drives.Write(path, std::string(length, 'x'));
    std::tm tm{};
    tm.tm_year = 2024 - 1900;
    tm.tm_mon = 5;
    tm.tm_mday = 15;
    tm.tm_hour = 12;
    tm.tm_isdst = -1;
    utimbuf times{std::mktime(&tm), std::mktime(&tm)};
    ASSERT_EQ(::utime(drives.Host(path).c_str(), &times), 0);
  }
  void InventoryWith(const std::vector<std::pair<std::string, const analysis::AudioProperties*>>& lines) {
    std::string bytes;
    for (const auto& [path, props] : lines) datafiles::AppendStoredInventoryLine(path, props, bytes);
    drives.Write(files.gInventoryFile, bytes);
  }
  void Inventory(const Strings& paths) {
    std::vector<std::pair<std::string, const analysis::AudioProperties*>> lines;
    for (const auto& p : paths) lines.emplace_back(p, nullptr);
    InventoryWith(lines);
  }
  static datafiles::UserDBRecord Note(const std::string& path, const std::string& tag) {
    datafiles::UserDBRecord r;
    r.Path = path;
    r.Caption = tag + "c";
    r.Subject = tag + "s";
    r.Project = tag + "p";
    r.Keywords = tag + "k";
    r.Players = tag + "y";
    return r;
  }
  inventory::SearchOutcome Run(const std::string& text, SearchOptions options, unsigned threads = 0,
                               std::size_t sliceBytes = 0) {
    inventory::SearchRequest request;
    request.searchText = text;
    request.options = options;
    request.threads = threads;
    request.sliceBytes = sliceBytes;
    request.inventoryFile = files.gInventoryFile;
    request.resultFile = files.gResultFile;
    request.notes = &notes;
    return inventory::SearchInventory(request);
  }
  static Strings Listed(const inventory::SearchOutcome& outcome) {
    Strings out;
    for (const SearchHit& h : outcome.hits) out.push_back(h.drive + h.pathWithoutDrive + " " + std::to_string(h.hits));
    return out;
  }

  testing_support::TempDrives drives{"C"};
  datafiles::DataFileNames files = datafiles::DataFileNames::InFolder("C:\\data\\");
  std::vector<datafiles::UserDBRecord> notes;
};

constexpr SearchOptions kAll{true, true, true};
constexpr SearchOptions kAttributes{true, false, false};
constexpr SearchOptions kNotes{false, true, false};

TEST_F(Search, AttributesScoreTheFolderOnceAndTheNameTwice) {
  for (const char* p : {"C:\\Music\\a.wav", "C:\\x\\Music.wav", "C:\\Music\\music.wav", "C:\\other\\b.wav"}) File(p);
  Inventory({"C:\\Music\\a.wav", "C:\\x\\Music.wav", "C:\\Music\\music.wav", "C:\\other\\b.wav"});
  inventory::SearchOutcome outcome = Run("music", kAttributes);
  EXPECT_TRUE(outcome.failure.empty());
  EXPECT_EQ(Listed(outcome), (Strings{"C:\\Music\\a.wav 1", "C:\\x\\Music.wav 2", "C:\\Music\\music.wav 3"}));
}

struct WeightCase {
  const char* phrase;
  std::int64_t score;
};

void PrintTo(const WeightCase& c, std::ostream* os) { *os << c.phrase; }

class Weights : public Search, public ::testing::WithParamInterface<WeightCase> {};

// One file whose every field holds a word of its own, and a note of its own.
TEST_P(Weights, EachFieldAddsItsWeight) {
  File("C:\\fold\\nm.wav");
  const analysis::AudioProperties props = Tagged("tag");
  InventoryWith({{"C:\\fold\\nm.wav", &props}});
  notes = {Note("C:\\fold\\nm.wav", "own"), Note("c:\\fold\\nm.wav", "case")};
  inventory::SearchOutcome outcome = Run(GetParam().phrase, kAll);
  const std::int64_t score = outcome.hits.empty() ? 0 : outcome.hits[0].hits;
  EXPECT_EQ(score, GetParam().score);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Weights,
    ::testing::Values(WeightCase{"fold", 1}, WeightCase{"nm.w", 2}, WeightCase{"2024", 1}, WeightCase{"ownc", 1},
                      WeightCase{"owns", 1}, WeightCase{"ownp", 1}, WeightCase{"ownk", 2}, WeightCase{"owny", 1},
                      WeightCase{"tag5", 1}, WeightCase{"tag14", 1}, WeightCase{"tag22", 1},
                      // the note of another spelling of the path is not this file's
                      WeightCase{"casec", 0},
                      // every field, notes included: 4 + 6 + 18
                      WeightCase{"", 28}, WeightCase{"own*", 6}, WeightCase{"fold, own", 7}, WeightCase{"[own", 0}));

TEST_F(Search, AnEmptyTextListsEveryFileOfThirteenBytesOrMore) {
  File("C:\\m\\twelve.wav", 12);
  File("C:\\m\\thirteen.wav", 13);
  Inventory({"C:\\m\\twelve.wav", "C:\\m\\thirteen.wav", "C:\\m\\gone.wav", "C:\\gone\\x.wav"});
  EXPECT_EQ(Listed(Run("", kAll)), Strings{"C:\\m\\thirteen.wav 22"});
  EXPECT_EQ(Listed(Run("live,", kAttributes)), Strings{"C:\\m\\thirteen.wav 4"});
}

TEST_F(Search, TwoNotesOfOnePathBothCount) {
  File("C:\\m\\a.wav");
  Inventory({"C:\\m\\a.wav"});
  notes = {Note("C:\\m\\a.wav", "jazz"), Note("C:\\other.wav", "jazz"), Note("C:\\m\\a.wav", "jazz")};
  EXPECT_EQ(Listed(Run("jazzk", kNotes)), Strings{"C:\\m\\a.wav 4"});
}

TEST_F(Search, ResultFileHoldsTheTextAsTypedAndALinePerHitInInventoryOrder) {
  File("C:\\Music\\b, live.wav");
  File("C:\\Music\\a.wav");
  Inventory({"C:\\Music\\b, live.wav", "C:\\Music\\a.wav"});
  inventory::SearchOutcome outcome = Run(" music,live ", kAttributes);
  EXPECT_EQ(Listed(outcome), (Strings{"C:\\Music\\b, live.wav 3", "C:\\Music\\a.wav 1"}));
  EXPECT_EQ(drives.Read(files.gResultFile), "Keyword search:  music" + k187 + "live \r\n" + "C:,\\Music\\b" + k187 +
                                                " live.wav,3\r\n" + "C:,\\Music\\a.wav,1\r\n");
}

TEST_F(Search, NothingScoresWithEveryOptionOff) {
  File("C:\\Music\\a.wav");
  Inventory({"C:\\Music\\a.wav"});
  inventory::SearchOutcome outcome = Run("", SearchOptions{});
  EXPECT_TRUE(outcome.hits.empty());
  EXPECT_TRUE(outcome.failure.empty());
  EXPECT_EQ(drives.Read(files.gResultFile), "Keyword search: \r\n" + kNoMatchLine);
}

TEST_F(Search, AnUnreadableInventoryStopsTheSearchAndLeavesNoOlderResult) {
  drives.Write(files.gResultFile, "Keyword search: older\r\nC:,\\x.wav,5\r\n");
  drives.MakeFolder(files.gInventoryFile);  // a folder where the file should be
  inventory::SearchOutcome outcome = Run("x", kAll);
  EXPECT_FALSE(outcome.complete);
  EXPECT_NE(outcome.failure.find("Search stopped: cannot read " + files.gInventoryFile), std::string::npos);
  EXPECT_EQ(drives.Read(files.gResultFile), "Keyword search: x\r\n" + kNoMatchLine);
}

TEST_F(Search, AResultFileThatCannotBeWrittenIsRemovedAndTheHitsStillCome) {
  File("C:\\Music\\a.wav");
  File("C:\\Music\\b.wav");
  Inventory({"C:\\Music\\a.wav", "C:\\Music\\b.wav"});
  platform::InjectWriteFailureAfter(30);
  inventory::SearchOutcome outcome = Run("music", kAttributes);
  platform::InjectWriteFailureAfter(-1);
  EXPECT_TRUE(outcome.complete);
  EXPECT_EQ(outcome.hits.size(), 2u);
  EXPECT_EQ(outcome.failure.rfind("Search completed, but " + files.gResultFile + " could not be written", 0), 0u);
  EXPECT_FALSE(drives.Exists(files.gResultFile));
}

// ---- the pooled search

struct PoolCase {
  unsigned threads;
  std::size_t sliceBytes;  // 1: every line a slice of its own
};

void PrintTo(const PoolCase& c, std::ostream* os) { *os << c.threads << " threads, slices of " << c.sliceBytes; }

class Pool : public Search, public ::testing::WithParamInterface<PoolCase> {};

// 300 lines in 30 folders, hits on two lines of three (so in every slice), between them files
// that are missing, too short or miss every phrase, empty lines and each kind of line end.
TEST_P(Pool, WritesTheResultFileAndHitsOfTheOneThreadSearch) {
  const analysis::AudioProperties tagged = Tagged("jazz");
  std::string bytes;
  notes.clear();
  for (int k = 0; k < 300; ++k) {
    const std::string folder = "C:\\Disc " + std::to_string(k / 10) + (k % 50 == 0 ? ", live" : "");
    const std::string path = folder + "\\" + (k % 3 == 2 ? "other " : "take ") + std::to_string(k) + ".wav";
    if (k % 23 != 4) {
      File(path, k % 19 == 7 ? 12 : 13 + k);
      // Times of their own, one at midnight (its text is the date alone).
      const std::time_t t = 1700000000 + k * 4001 - (k == 10 ? 1700000000 % 86400 : 0);
      utimbuf times{t, t};
      ASSERT_EQ(::utime(drives.Host(path).c_str(), &times), 0);
    }
    if (k % 7 == 0) notes.push_back(Note(path, "jazz"));
    datafiles::AppendStoredInventoryLine(path, k % 5 == 0 ? &tagged : nullptr, bytes);
    if (k % 13 == 0) bytes += "\r\n\n";
    if (k % 17 == 0) bytes.back() = '\r';  // a line ended by CR alone
  }
  while (bytes.back() == '\r' || bytes.back() == '\n') bytes.pop_back();  // the last line without its line end
  drives.Write(files.gInventoryFile, bytes);

  const std::string text = "take, jazz, disc 2#";
  const inventory::SearchOutcome one = Run(text, kAll, 1);
  const std::string oneFile = drives.Read(files.gResultFile);
  ASSERT_GT(one.hits.size(), 150u);
  EXPECT_EQ(one.hits.back().pathWithoutDrive, "\\Disc 29\\other 299.wav");

  const inventory::SearchOutcome pooled = Run(text, kAll, GetParam().threads, GetParam().sliceBytes);
  EXPECT_TRUE(pooled.failure.empty());
  EXPECT_EQ(Listed(pooled), Listed(one));
  EXPECT_EQ(drives.Read(files.gResultFile), oneFile);
}

INSTANTIATE_TEST_SUITE_P(Table, Pool,
                         ::testing::Values(PoolCase{2, 1}, PoolCase{4, 1}, PoolCase{3, 700}, PoolCase{8, 2000},
                                           PoolCase{8, 0}, PoolCase{16, 150}));

// More than a megabyte of inventory.dat, which the threads read in parts: mostly lines of
// files that are gone, one in forty there and hit.
TEST_F(Search, ALargeInventoryReadInPartsGivesTheOneThreadResult) {
  const analysis::AudioProperties tagged = Tagged("long analysis text to make the lines longer, ");
  std::string bytes;
  for (int k = 0; k < 6000; ++k) {
    const std::string path = "C:\\Box " + std::to_string(k / 100) + "\\song " + std::to_string(k) + ".wav";
    if (k % 40 == 3) File(path);
    datafiles::AppendStoredInventoryLine(path, &tagged, bytes);
  }
  ASSERT_GT(bytes.size(), 1u << 20);
  drives.Write(files.gInventoryFile, bytes);
  const inventory::SearchOutcome one = Run("song", kAttributes, 1);
  const std::string oneFile = drives.Read(files.gResultFile);
  ASSERT_EQ(one.hits.size(), 150u);
  const inventory::SearchOutcome pooled = Run("song", kAttributes, 5);
  EXPECT_EQ(Listed(pooled), Listed(one));
  EXPECT_EQ(drives.Read(files.gResultFile), oneFile);
}

TEST_F(Search, APooledSearchOfAnEmptyInventoryFindsNothing) {
  drives.Write(files.gInventoryFile, "");
  inventory::SearchOutcome outcome = Run("x", kAll, 4, 1);
  EXPECT_TRUE(outcome.hits.empty());
  EXPECT_TRUE(outcome.failure.empty());
  EXPECT_EQ(drives.Read(files.gResultFile), "Keyword search: x\r\n" + kNoMatchLine);
}

// Each thread's file times are those of the C library's local time, in zones with summer time
// (changes in both directions, an offset of half an hour) and before 1970.
class FileTimes : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const char* old = std::getenv("TZ");
    had_ = old != nullptr;
    if (had_) old_ = old;
    ::setenv("TZ", GetParam(), 1);
    ::tzset();
  }
  void TearDown() override {
    if (had_) {
      ::setenv("TZ", old_.c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  bool had_ = false;
  std::string old_;
};

TEST_P(FileTimes, AreTheLocalTimesOfTheCLibrary) {
  inventory::LocalFileTimes times;
  std::vector<std::time_t> probes;
  for (std::time_t t = -86400 * 400; t < 86400 * 400; t += 7777) probes.push_back(t);
  for (std::time_t t = 1704067200; t < 1735689600; t += 1777) probes.push_back(t);  // 2024, every half hour or so
  for (std::time_t t : {std::time_t{7000000000}, std::time_t{-5000000000}}) {  // 2191 and 1811, centuries away
    for (int k = 0; k < 50; ++k) probes.push_back(t + k * 86399);
  }
  for (std::time_t change : {1711846800, 1729990800, 1710054000, 1730613600}) {  // 2024's changes in Europe and America
    for (std::time_t t = change - 7300; t < change + 7300; t += 59) probes.push_back(t);
  }
  int differing = 0;
  for (std::time_t t : probes) {
    const platform::DateTime want = platform::LocalDateTime(t), got = times.Of(t);
    const bool same = want.year == got.year && want.month == got.month && want.day == got.day &&
                      want.hour == got.hour && want.minute == got.minute && want.second == got.second;
    if (!same && ++differing <= 3) ADD_FAILURE() << "time " << t << ": " << platform::DateTimeText(got) << ", not "
                                                 << platform::DateTimeText(want);
  }
  EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Zones, FileTimes,
                         ::testing::Values("UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "NST3:30NDT,M3.2.0,M11.1.0",
                                           "EST5EDT,M3.2.0,M11.1.0"));

// ---- the Result view's order and the reload

TEST(ResultOrder, HighestHitsFirstAsNumbersThenByPathIgnoringCase) {
  std::vector<SearchHit> rows{{"C:", "\\b.wav", 9}, {"C:", "\\B2.wav", 12}, {"D:", "\\a.wav", 12},
                              {"C:", "\\a.wav", 12}, {"C:", "\\z.wav", 100}};
  Strings shown{"\\b.wav", "\\B2.wav", "\\a.wav", "\\a.wav", "\\z.wav"};
  inventory::SortSearchRows(rows, shown);
  Strings order;
  for (const SearchHit& r : rows) order.push_back(r.drive + r.pathWithoutDrive + " " + std::to_string(r.hits));
  EXPECT_EQ(order, (Strings{"C:\\z.wav 100", "C:\\a.wav 12", "C:\\B2.wav 12", "D:\\a.wav 12", "C:\\b.wav 9"}));
  EXPECT_EQ(shown, (Strings{"\\z.wav", "\\a.wav", "\\B2.wav", "\\a.wav", "\\b.wav"}));
}

struct ReloadCase {
  const char* name;
  std::string bytes;
  std::string header;
  Strings rows;  // drive|path|hits
};

void PrintTo(const ReloadCase& c, std::ostream* os) { *os << c.name; }

class Reload : public ::testing::TestWithParam<ReloadCase> {
 protected:
  testing_support::TempDrives drives{"C"};
};

TEST_P(Reload, ReadsTheHeaderAndEachRow) {
  drives.Write("C:\\result.dat", GetParam().bytes);
  inventory::SearchResultFile file = inventory::ReadSearchResult("C:\\result.dat");
  EXPECT_EQ(file.error, 0);
  EXPECT_EQ(file.header, GetParam().header);
  Strings rows;
  for (const SearchHit& r : file.rows) rows.push_back(r.drive + "|" + r.pathWithoutDrive + "|" + std::to_string(r.hits));
  EXPECT_EQ(rows, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Reload,
    ::testing::Values(
        ReloadCase{"commas", "Keyword search: a" + k187 + " b\r\nC:,\\x" + k187 + " y.wav,12\r\nD:,\\z.mp3,3\r\n",
                   "Keyword search: a, b", {"C:|\\x, y.wav|12", "D:|\\z.mp3|3"}},
        ReloadCase{"no match", "Keyword search: q\r\n" + kNoMatchLine, "Keyword search: q",
                   {"|>> NO MATCHES FOUND <<|0"}},
        ReloadCase{"header only", "  Keyword search: \r\n", "Keyword search: ", {}},
        ReloadCase{"empty", "", "", {}},
        ReloadCase{"short and odd lines", "h\nC:\r\n\r\nC:,\\a.wav,x\r\nC:,\\b.wav", "h",
                   {"C:||0", "C:|\\a.wav|0", "C:|\\b.wav|0"}}));

TEST(ReloadMissing, TellsTheFileIsNotThere) {
  testing_support::TempDrives drives{"C"};
  EXPECT_EQ(inventory::ReadSearchResult("C:\\result.dat").error, platform::errFileNotFound);
}

// ---- the status probe the search makes of every file

TEST(Prober, TellsLengthTimeAndWhyNotAsOneCallPerFileWould) {
  testing_support::TempDrives drives{"C"};
  drives.Write("C:\\a\\one.wav", "12345");
  drives.Write("C:\\b\\two.wav", "123");
  drives.Write("C:\\root.wav", "1");
  drives.MakeFolder("C:\\a\\folder.wav");
  struct Step {
    const char* path;
    std::int32_t error;
    std::int64_t length;
  };
  const Step steps[] = {{"C:\\a\\one.wav", 0, 5},
                        {"C:\\a\\none.wav", platform::errFileNotFound, 0},
                        {"C:\\a\\folder.wav", platform::errFileNotFound, 0},
                        {"C:\\b\\two.wav", 0, 3},
                        {"C:\\a\\one.wav", 0, 5},
                        {"C:\\gone\\x.wav", platform::errPathNotFound, 0},
                        {"C:\\gone\\y.wav", platform::errPathNotFound, 0},
                        {"C:\\root.wav", 0, 1},
                        {"Q:\\x.wav", platform::errPathNotFound, 0},
                        {"C:\\a\\", platform::errFileNotFound, 0}};
  platform::FileStatusProber prober;
  for (const Step& s : steps) {
    const platform::FileStatus status = prober.Probe(s.path);
    EXPECT_EQ(status.probe.error, s.error) << s.path;
    EXPECT_EQ(status.probe.length, s.length) << s.path;
    const platform::FileStatus alone = platform::FileStatusOf(s.path);
    EXPECT_EQ(status.probe.error, alone.probe.error) << s.path;
    if (status.probe.ok()) {
      EXPECT_EQ(status.modified, platform::FileModified(s.path).value_or(-1)) << s.path;
    }
  }
}

}  // namespace
