// The flex grid with a million file rows: filled as the lists fill it (Rows := n + 1, then the
// cells of the new row) or in bulk with AddItem, then sorted with Sort 5 on columns 1..3.
// Counters: malloc_MB is what malloc reports in use for the grid and its view after filling
// (mallinfo2, bytes allocated less those before; the C library's count, not pages); rss_MB the
// whole process's resident size at that point, the bench's own source rows (about 400 MB)
// included. Before the benchmarks, the grid's own resident memory is measured once: the
// process's VmRSS before a grid of 1,000,000 rows is made (source rows made, free memory given
// back) and after it is filled, sorted and shown.
// The rows alone (the control's storage without Qt) are filled and sorted the same way, to show
// what the storage costs under the control.
// Every benchmark checks its grid: the row count, sampled cells, the order after a sort; the
// figures are then printed beside their goals, and the exit status is not 0 when a check failed.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>

#include <algorithm>
#include <cctype>
#include <map>

#include "offscreen.h"
#include "platform/core/gridrows.h"
#include "platform/qt/grid.h"
#include "verdicts.h"

namespace {

bench::Verdicts gVerdicts;

struct Listing {
  std::vector<std::string> mark, drive, shortPath, path, hits, item;
};

// File rows like those of the pane's lists, in no particular order.
const Listing& Rows(std::size_t n) {
  static Listing l;
  if (l.path.size() == n) return l;
  l = Listing{};
  std::uint64_t rng = 12345;
  auto next = [&rng] {
    rng = rng * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<unsigned>(rng >> 33);
  };
  for (std::size_t i = 0; i < n; ++i) {
    unsigned artist = next() % 5000, album = next() % 20, track = next() % 30;
    std::string folder = "\\Music\\Collection\\Artist " + std::to_string(artist) + "\\Album " +
                         std::to_string(album) + "\\";
    std::string name = std::to_string(track) + " - Title of track " + std::to_string(next() % 100000) + ".wav";
    std::string full = folder + name;
    l.mark.push_back(i % 10 == 0 ? "  \xC2\xBB" : "");
    l.drive.push_back(next() % 4 == 0 ? "D:" : "C:");
    l.shortPath.push_back(full.size() > 75 ? "\\Music\\...\\" + name : full);
    l.path.push_back(full);
    l.hits.push_back(std::to_string(next() % 40 + 1));
    l.item.push_back(l.mark.back() + "\t" + l.drive.back() + "\t" + l.shortPath.back() + "\t" + full);
  }
  return l;
}

std::size_t HeapInUse() {
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
}

double RssMB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * 4096.0 / 1e6;
}

std::unique_ptr<platform::FlexGrid> NewListGrid() {
  auto grid = std::make_unique<platform::FlexGrid>();
  grid->SetCols(4);
  grid->SetRows(1);
  grid->SetFixedRows(1);
  grid->SetColWidth(0, 350);
  grid->SetColWidth(1, 400);
  grid->SetColWidth(2, 6400);
  grid->SetColWidth(3, 0);
  grid->SetTextMatrix(0, 0, "DB");
  grid->SetTextMatrix(0, 1, "Drv");
  grid->SetTextMatrix(0, 2, "File");
  return grid;
}

void FillRowByRow(platform::FlexGrid& grid, const Listing& l) {
  for (std::size_t i = 0; i < l.path.size(); ++i) {
    int row = static_cast<int>(i) + 1;
    grid.SetRows(row + 1);
    grid.SetTextMatrix(row, 1, l.drive[i]);
    grid.SetTextMatrix(row, 2, l.shortPath[i]);
    grid.SetTextMatrix(row, 3, l.path[i]);
    grid.SetTextMatrix(row, 0, l.mark[i]);
  }
}

void SortOnPath(platform::FlexGrid& grid) {
  grid.SetRow(1);
  grid.SetCol(1);
  grid.SetColSel(3);
  grid.Sort(5);
}

void Report(benchmark::State& state, std::size_t mallocBefore) {
  state.counters["malloc_MB"] = static_cast<double>(HeapInUse() - mallocBefore) / 1e6;
  state.counters["rss_MB"] = RssMB();
}

// Marks the benchmark failed when `ok` is false: its work was not done as it claims.
bool Check(benchmark::State& state, const char* name, bool ok, const std::string& what) {
  return gVerdicts.Check(state, std::string(name) + ": " + what, ok);
}

std::string Cell(const platform::FlexGrid& grid, int row, int col) { return grid.TextMatrix(row, col); }
std::string Cell(const platform::GridRows& rows, int row, int col) { return std::string(rows.Text(row, col)); }

// Every row there with its path: in the order of `l`, or in any order once sorted.
template <class Grid>
bool Filled(const Grid& grid, const Listing& l, bool sorted = false) {
  if (grid.Rows() != static_cast<int>(l.path.size()) + 1) return false;
  if (!sorted) {
    for (std::size_t i = 0; i < l.path.size(); ++i) {
      if (Cell(grid, static_cast<int>(i) + 1, 3) != l.path[i]) return false;
    }
    return true;
  }
  std::vector<std::string> got;
  got.reserve(l.path.size());
  for (std::size_t i = 0; i < l.path.size(); ++i) got.push_back(Cell(grid, static_cast<int>(i) + 1, 3));
  std::vector<std::string> want = l.path;
  std::sort(got.begin(), got.end());
  std::sort(want.begin(), want.end());
  return got == want;
}

std::string Folded(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Rows in ascending order of columns `c0` to `c1` ignoring case (descending when asked).
template <class Grid>
bool Ordered(const Grid& grid, int c0, int c1, bool descending) {
  auto key = [&](int row) {
    std::vector<std::string> k;
    for (int c = c0; c <= c1; ++c) k.push_back(Folded(Cell(grid, row, c)));
    return k;
  };
  std::vector<std::string> previous = key(1);
  for (int r = 2; r < grid.Rows(); ++r) {
    std::vector<std::string> k = key(r);
    if (descending ? previous < k : k < previous) return false;
    previous = std::move(k);
  }
  return true;
}

void BM_FillRowByRow(benchmark::State& state) {
  const Listing& l = Rows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::size_t heap = HeapInUse();
    auto grid = NewListGrid();
    FillRowByRow(*grid, l);
    QApplication::processEvents();  // the view learns of the rows
    state.PauseTiming();
    Report(state, heap);
    if (!Check(state, "fill row by row", Filled(*grid, l), "the grid does not hold the rows")) break;
    grid.reset();
    state.ResumeTiming();
  }
}

void BM_FillAddItem(benchmark::State& state) {
  const Listing& l = Rows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::size_t heap = HeapInUse();
    auto grid = NewListGrid();
    for (const std::string& item : l.item) grid->AddItem(item);
    QApplication::processEvents();
    state.PauseTiming();
    Report(state, heap);
    if (!Check(state, "AddItem", Filled(*grid, l), "the grid does not hold the rows")) break;
    grid.reset();
    state.ResumeTiming();
  }
}

void BM_Sort5OnColumns1To3(benchmark::State& state) {
  const Listing& l = Rows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto grid = NewListGrid();
    FillRowByRow(*grid, l);
    state.ResumeTiming();
    SortOnPath(*grid);
    state.PauseTiming();
    if (!Check(state, "Sort 5", Ordered(*grid, 1, 3, false) && Filled(*grid, l, true), "rows out of order or lost")) break;
    grid.reset();
    state.ResumeTiming();
  }
}

// The search result's second sort: the hits column alone, descending, as text.
void BM_Sort6OnHits(benchmark::State& state) {
  const Listing& l = Rows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto grid = NewListGrid();
    grid->SetCols(5);
    FillRowByRow(*grid, l);
    for (std::size_t i = 0; i < l.hits.size(); ++i) grid->SetTextMatrix(static_cast<int>(i) + 1, 4, l.hits[i]);
    SortOnPath(*grid);
    state.ResumeTiming();
    grid->SetRow(1);
    grid->SetCol(4);
    grid->Sort(6);
    state.PauseTiming();
    if (!Check(state, "Sort 6", Ordered(*grid, 4, 4, true) && Filled(*grid, l, true), "rows out of order or lost")) break;
    grid.reset();
    state.ResumeTiming();
  }
}

// The whole of building a million-row list: fill row by row, sort, show.
void BM_FillSortShow(benchmark::State& state) {
  const Listing& l = Rows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    std::size_t heap = HeapInUse();
    auto grid = NewListGrid();
    grid->resize(500, 225);
    FillRowByRow(*grid, l);
    SortOnPath(*grid);
    grid->SetTopRow(1);
    grid->show();
    QApplication::processEvents();
    state.PauseTiming();
    Report(state, heap);
    if (!Check(state, "fill, sort and show", grid->isVisible() && Ordered(*grid, 1, 3, false) && Filled(*grid, l, true),
               "rows out of order or lost, or the grid not shown")) {
      break;
    }
    grid.reset();
    state.ResumeTiming();
  }
}

// Growing a grid on show, with the event pump running now and then as the program's loops
// do: the view must not pay for every row it is told about.
void BM_GrowWhileShown(benchmark::State& state) {
  const Listing& l = Rows(1000000);
  auto n = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    auto grid = NewListGrid();
    grid->resize(500, 225);
    grid->show();
    for (std::size_t i = 0; i < n; ++i) {
      int row = static_cast<int>(i) + 1;
      grid->SetRows(row + 1);
      grid->SetTextMatrix(row, 2, l.shortPath[i]);
      if (i % 100 == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
    state.PauseTiming();
    if (!Check(state, "grow while shown", grid->Rows() == static_cast<int>(n) + 1, "rows missing")) break;
    grid.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

// The rows alone, filled as FillRowByRow fills the grid.
void FillRowByRow(platform::GridRows& rows, const Listing& l) {
  for (std::size_t i = 0; i < l.path.size(); ++i) {
    int row = static_cast<int>(i) + 1;
    rows.SetRows(row + 1);
    rows.SetText(row, 1, l.drive[i]);
    rows.SetText(row, 2, l.shortPath[i]);
    rows.SetText(row, 3, l.path[i]);
    rows.SetText(row, 0, l.mark[i]);
  }
}

void BM_RowsFillRowByRow(benchmark::State& state) {
  const Listing& l = Rows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    auto rows = std::make_unique<platform::GridRows>(1, 4);
    FillRowByRow(*rows, l);
    state.PauseTiming();
    if (!Check(state, "rows alone, fill row by row", Filled(*rows, l), "the rows are not all there")) break;
    rows.reset();
    state.ResumeTiming();
  }
}

void BM_RowsSort5OnColumns1To3(benchmark::State& state) {
  const Listing& l = Rows(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    auto rows = std::make_unique<platform::GridRows>(1, 4);
    FillRowByRow(*rows, l);
    state.ResumeTiming();
    rows->Sort(platform::kGridSortAscending, {1, 1, 1, 3}, 1);
    state.PauseTiming();
    if (!Check(state, "rows alone, Sort 5", Ordered(*rows, 1, 3, false) && Filled(*rows, l, true),
               "rows out of order or lost")) {
      break;
    }
    rows.reset();
    state.ResumeTiming();
  }
}

BENCHMARK(BM_FillRowByRow)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillAddItem)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort5OnColumns1To3)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort6OnHits)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillSortShow)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GrowWhileShown)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_RowsFillRowByRow)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RowsSort5OnColumns1To3)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The grid's own resident memory at 1,000,000 rows filled, sorted and shown: the process's
// VmRSS after, less before (the source rows already made, freed memory given back).
struct PaneMemory {
  double rssBeforeMB = 0, rssAfterMB = 0, mallocMB = 0;
};

PaneMemory MeasurePaneMemory() {
  const Listing& l = Rows(1000000);
  malloc_trim(0);
  PaneMemory m;
  m.rssBeforeMB = RssMB();
  const std::size_t heap = HeapInUse();
  auto grid = NewListGrid();
  grid->resize(500, 225);
  FillRowByRow(*grid, l);
  SortOnPath(*grid);
  grid->SetTopRow(1);
  grid->show();
  QApplication::processEvents();
  m.rssAfterMB = RssMB();
  m.mallocMB = static_cast<double>(HeapInUse() - heap) / 1e6;
  if (!Filled(*grid, l, true)) gVerdicts.Failed("memory: the grid does not hold the rows");
  return m;
}

// The time of each benchmark by name, as the console shows it.
class TimeReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& reports) override {
    for (const Run& r : reports) {
      if (!r.error_occurred) ms[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(reports);
  }
  std::map<std::string, double> ms;
};

}  // namespace

int main(int argc, char** argv) {
  bench::ChooseOffscreenPlatform();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  const PaneMemory memory = MeasurePaneMemory();
  TimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::printf("\n1,000,000 rows of 4 columns, paths of about 67 characters; means of the iterations\n");
  auto figure = [&](const char* what, const char* name) {
    auto it = reporter.ms.find(name);
    if (it != reporter.ms.end()) gVerdicts.Figure(what, it->second, "ms");
  };
  figure("fill row by row (Rows := n + 1, then the row's cells)", "BM_FillRowByRow/1000000/iterations:3");
  figure("fill with AddItem", "BM_FillAddItem/1000000/iterations:3");
  figure("Sort 5 on columns 1 to 3", "BM_Sort5OnColumns1To3/1000000/iterations:3");
  figure("Sort 6 on a hits column", "BM_Sort6OnHits/1000000/iterations:3");
  if (auto it = reporter.ms.find("BM_FillSortShow/1000000/iterations:3"); it != reporter.ms.end()) {
    gVerdicts.Under("fill row by row, Sort 5 and show: the whole", it->second, 3000, "ms");
  }
  gVerdicts.Under("the grid and its view at 1,000,000 rows, resident (VmRSS " + bench::Verdicts::Number(memory.rssAfterMB) +
                      " MB after less " + bench::Verdicts::Number(memory.rssBeforeMB) + " MB before)",
                  memory.rssAfterMB - memory.rssBeforeMB, 500, "MB");
  gVerdicts.Figure("the same, malloc's count of bytes in use (mallinfo2)", memory.mallocMB, "MB");
  figure("the rows alone (no Qt): fill row by row", "BM_RowsFillRowByRow/1000000/iterations:3");
  figure("the rows alone (no Qt): Sort 5 on columns 1 to 3", "BM_RowsSort5OnColumns1To3/1000000/iterations:3");
  return gVerdicts.Finish();
}
