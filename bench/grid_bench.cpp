// The flex grid with a million file rows: filled as the lists fill it (Rows := n + 1, then the
// cells of the new row) or in bulk with AddItem, then sorted with Sort 5 on columns 1..3.
// Counters: heap_MB is the heap the grid and its view hold after filling (malloc's own count),
// rss_MB the process's resident size at that point.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>

#include "platform/qt/grid.h"

namespace {

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

void Report(benchmark::State& state, std::size_t heapBefore) {
  state.counters["heap_MB"] = static_cast<double>(HeapInUse() - heapBefore) / 1e6;
  state.counters["rss_MB"] = RssMB();
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
    grid.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(n));
}

BENCHMARK(BM_FillRowByRow)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillAddItem)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort5OnColumns1To3)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sort6OnHits)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillSortShow)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GrowWhileShown)->Arg(50000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
