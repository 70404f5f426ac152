// The ordered parallel for: slices worked on by a pool of threads, delivered in slice order on
// the calling thread; the first failure in slice order ends the run; no thread outlives it.
#include "platform/core/parallelfor.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using platform::OrderedParallelFor;

namespace {

void SleepUs(int us) { std::this_thread::sleep_for(std::chrono::microseconds(us)); }

struct Slice {
  std::size_t square = 0;
  std::thread::id thread;
  std::string text;
};

// ---- order

struct OrderCase {
  std::size_t slices;
  unsigned threads;
};

void PrintTo(const OrderCase& c, std::ostream* os) { *os << c.slices << " slices, " << c.threads << " threads"; }

class ParallelForOrder : public ::testing::TestWithParam<OrderCase> {};

// Later slices are quicker, so that they are done before earlier ones.
TEST_P(ParallelForOrder, EverySliceIsDeliveredOnceInSliceOrderOnTheCallingThread) {
  const OrderCase c = GetParam();
  std::atomic<std::size_t> workersMade{0};
  std::atomic<bool> workerShared{false};
  std::vector<std::size_t> delivered;
  std::set<std::thread::id> deliveredOn;
  OrderedParallelFor<Slice>(
      c.slices, c.threads,
      [&] {
        ++workersMade;
        return [&, owner = std::thread::id()](std::size_t k, Slice& out) mutable {
          if (owner == std::thread::id()) owner = std::this_thread::get_id();
          if (owner != std::this_thread::get_id()) workerShared = true;
          SleepUs(static_cast<int>((c.slices - k) % 7) * 200);
          out.square = k * k;
        };
      },
      [&](std::size_t k, Slice& result) {
        EXPECT_EQ(result.square, k * k);
        delivered.push_back(k);
        deliveredOn.insert(std::this_thread::get_id());
      });
  std::vector<std::size_t> all(c.slices);
  for (std::size_t k = 0; k < c.slices; ++k) all[k] = k;
  EXPECT_EQ(delivered, all);
  if (c.slices > 0) {
    EXPECT_EQ(deliveredOn, std::set<std::thread::id>{std::this_thread::get_id()});
  }
  const std::size_t pool = c.slices == 0 ? 0 : std::min<std::size_t>(std::max(c.threads, 1u), c.slices);
  EXPECT_EQ(workersMade.load(), pool) << "a worker per thread, never more threads than slices";
  EXPECT_FALSE(workerShared.load()) << "each worker stays on its thread";
}

INSTANTIATE_TEST_SUITE_P(Table, ParallelForOrder,
                         ::testing::Values(OrderCase{0, 4}, OrderCase{1, 1}, OrderCase{1, 8}, OrderCase{5, 0},
                                           OrderCase{100, 1}, OrderCase{100, 3}, OrderCase{64, 8},
                                           OrderCase{7, 16}));

TEST(ParallelFor, TheThreadsWorkAtOnce) {
  constexpr unsigned kThreads = 4;
  std::mutex mutex;
  std::condition_variable allThere;
  unsigned arrived = 0;
  std::atomic<unsigned> sawAll{0};
  std::set<std::thread::id> threads;
  OrderedParallelFor<Slice>(
      kThreads, kThreads,
      [&] {
        return [&](std::size_t, Slice&) {
          std::unique_lock lock(mutex);
          threads.insert(std::this_thread::get_id());
          ++arrived;
          allThere.notify_all();
          // Each slice waits for the others: one thread alone would wait here in vain.
          if (allThere.wait_for(lock, std::chrono::seconds(20), [&] { return arrived == kThreads; })) ++sawAll;
        };
      },
      [](std::size_t, Slice&) {});
  EXPECT_EQ(sawAll.load(), kThreads);
  EXPECT_EQ(threads.size(), kThreads);
}

// ---- failures

struct FailureCase {
  const char* what;
  std::size_t slices;
  unsigned threads;
  std::vector<std::size_t> failing;  // the first listed fails at once, the others 20 ms later
  std::size_t reported;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.what; }

class ParallelForFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ParallelForFailure, TheFirstInSliceOrderEndsTheRunAfterWhatItsWorkLeft) {
  const FailureCase& c = GetParam();
  std::vector<std::size_t> delivered;
  std::vector<std::string> texts;
  std::string reported;
  try {
    OrderedParallelFor<Slice>(
        c.slices, c.threads,
        [&] {
          return [&](std::size_t k, Slice& out) {
            out.text = "part of " + std::to_string(k);
            for (std::size_t n = 0; n < c.failing.size(); ++n) {
              if (c.failing[n] != k) continue;
              if (n > 0) SleepUs(20000);
              throw std::runtime_error("slice " + std::to_string(k));
            }
            out.text = "all of " + std::to_string(k);
          };
        },
        [&](std::size_t k, Slice& result) {
          delivered.push_back(k);
          texts.push_back(result.text);
        });
  } catch (const std::runtime_error& e) {
    reported = e.what();
  }
  EXPECT_EQ(reported, "slice " + std::to_string(c.reported));
  ASSERT_EQ(delivered.size(), c.reported + 1) << "no slice after the failed one";
  for (std::size_t k = 0; k <= c.reported; ++k) {
    EXPECT_EQ(delivered[k], k);
    EXPECT_EQ(texts[k], (k == c.reported ? "part of " : "all of ") + std::to_string(k));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParallelForFailure,
    ::testing::Values(FailureCase{"one thread", 50, 1, {7}, 7}, FailureCase{"four threads", 50, 4, {7}, 7},
                      FailureCase{"the first slice", 50, 8, {0}, 0}, FailureCase{"the last slice", 50, 8, {49}, 49},
                      FailureCase{"a later slice failing first", 50, 4, {20, 5}, 5},
                      FailureCase{"every slice", 30, 8, {3, 0, 1, 2, 4, 5, 6, 7, 8, 9}, 0}));

TEST(ParallelFor, NoSliceIsTakenAfterAFailure) {
  std::vector<std::size_t> worked;
  EXPECT_THROW(OrderedParallelFor<Slice>(
                   100, 1,
                   [&] {
                     return [&](std::size_t k, Slice&) {
                       worked.push_back(k);
                       if (k == 3) throw std::runtime_error("slice 3");
                     };
                   },
                   [](std::size_t, Slice&) {}),
               std::runtime_error);
  EXPECT_EQ(worked, (std::vector<std::size_t>{0, 1, 2, 3}));

  std::atomic<int> manyWorked{0};
  EXPECT_THROW(OrderedParallelFor<Slice>(
                   1000, 4,
                   [&] {
                     return [&](std::size_t k, Slice&) {
                       ++manyWorked;
                       if (k == 0) throw std::runtime_error("slice 0");
                       SleepUs(1000);
                     };
                   },
                   [](std::size_t, Slice&) {}),
               std::runtime_error);
  EXPECT_LT(manyWorked.load(), 100) << "the threads stop taking slices once one failed";
}

// ---- the end of a run

struct EndCase {
  const char* what;
  bool workFails;
  bool deliveryFails;
};

void PrintTo(const EndCase& c, std::ostream* os) { *os << c.what; }

class ParallelForEnd : public ::testing::TestWithParam<EndCase> {};

TEST_P(ParallelForEnd, JoinsEveryThread) {
  const EndCase& c = GetParam();
  constexpr std::size_t kFailing = 5;
  std::atomic<int> working{0};
  std::atomic<int> worked{0};
  std::size_t delivered = 0;
  bool threw = false;
  try {
    OrderedParallelFor<Slice>(
        40, 8,
        [&] {
          return [&](std::size_t k, Slice&) {
            ++working;
            SleepUs(k == kFailing ? 0 : 3000);
            ++worked;
            --working;
            if (c.workFails && k == kFailing) throw std::runtime_error("work");
          };
        },
        [&](std::size_t k, Slice&) {
          ++delivered;
          if (c.deliveryFails && k == kFailing) throw std::runtime_error("delivery");
        });
  } catch (const std::runtime_error&) {
    threw = true;
  }
  EXPECT_EQ(working.load(), 0) << "no slice is still being worked on";
  const int workedAtEnd = worked;
  SleepUs(20000);
  EXPECT_EQ(worked.load(), workedAtEnd) << "no thread goes on working after the run";
  EXPECT_EQ(threw, c.workFails || c.deliveryFails);
  EXPECT_EQ(delivered, threw ? kFailing + 1 : 40u);
}

INSTANTIATE_TEST_SUITE_P(Table, ParallelForEnd,
                         ::testing::Values(EndCase{"done", false, false}, EndCase{"work fails", true, false},
                                           EndCase{"delivery fails", false, true}));

// Threads made while this lives ask for more stack than any address space holds, so that
// making one fails as it does when the system has no thread to give.
class NoThreadsToBeHad {
 public:
  NoThreadsToBeHad() {
    pthread_getattr_default_np(&old_);
    pthread_attr_t huge;
    pthread_attr_init(&huge);
    pthread_attr_setstacksize(&huge, std::size_t{1} << 60);
    ok_ = pthread_setattr_default_np(&huge) == 0;
    pthread_attr_destroy(&huge);
  }
  ~NoThreadsToBeHad() {
    pthread_setattr_default_np(&old_);
    pthread_attr_destroy(&old_);
  }
  bool ok() const { return ok_; }

 private:
  pthread_attr_t old_;
  bool ok_ = false;
};

TEST(ParallelFor, AThreadThatCannotBeHadLeavesItsSlicesToTheOthers) {
  std::vector<std::size_t> delivered;
  std::set<std::thread::id> workedOn;
  {
    NoThreadsToBeHad noThreads;
    ASSERT_TRUE(noThreads.ok());
    ASSERT_THROW(std::thread([] {}).join(), std::system_error);
    OrderedParallelFor<Slice>(
        30, 4,
        [&] { return [&](std::size_t k, Slice& out) { out.square = k * k, out.thread = std::this_thread::get_id(); }; },
        [&](std::size_t k, Slice& result) {
          EXPECT_EQ(result.square, k * k);
          delivered.push_back(k);
          workedOn.insert(result.thread);
        });
  }
  EXPECT_EQ(delivered.size(), 30u);
  for (std::size_t k = 0; k < delivered.size(); ++k) EXPECT_EQ(delivered[k], k);
  EXPECT_EQ(workedOn, std::set<std::thread::id>{std::this_thread::get_id()});
}

}  // namespace
