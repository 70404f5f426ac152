#include "platform/core/parallelfor.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform::parallel_detail {

void RunOrdered(std::size_t slices, std::size_t workers, const std::function<void(std::size_t, std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver) {
  std::mutex mutex;
  std::condition_variable sliceDone;
  std::vector<char> done(slices, 0);
  std::vector<std::exception_ptr> failures(slices);
  std::atomic<std::size_t> nextSlice{0};
  std::atomic<bool> stop{false};

  // Works on the next slice not taken yet; false when there is none or the run is ending.
  // Slices are taken in order and a slice taken is always finished, so that every slice
  // before a failed one gets delivered.
  auto workNext = [&](std::size_t worker) {
    if (stop.load()) return false;
    const std::size_t k = nextSlice.fetch_add(1);
    if (k >= slices) return false;
    std::exception_ptr failure;
    try {
      work(worker, k);
    } catch (...) {
      failure = std::current_exception();
      stop = true;
    }
    {
      std::lock_guard lock(mutex);
      failures[k] = std::move(failure);
      done[k] = 1;
    }
    sliceDone.notify_one();
    return true;
  };

  std::size_t delivered = 0;
  // Delivers the slices done, in order; one that failed is delivered, then ends the run.
  auto deliverReady = [&](std::unique_lock<std::mutex>& lock) {
    while (delivered < slices && done[delivered]) {
      const std::size_t k = delivered++;
      const std::exception_ptr failure = failures[k];
      lock.unlock();
      deliver(k);
      if (failure) std::rethrow_exception(failure);
      lock.lock();
    }
  };

  std::vector<std::thread> helpers;
  helpers.reserve(workers - 1);
  // However the run ends, the helpers finish their slice and are joined before what they use goes.
  struct JoinAll {
    std::vector<std::thread>& threads;
    std::atomic<bool>& stop;
    ~JoinAll() {
      stop = true;
      for (std::thread& t : threads) t.join();
    }
  } joinAll{helpers, stop};
  try {
    for (std::size_t w = 1; w < workers; ++w) {
      helpers.emplace_back([&workNext, w] {
        while (workNext(w)) {
        }
      });
    }
  } catch (const std::system_error&) {
    // Fewer threads than asked for: those there, the calling one at least, take every slice.
  }
  while (workNext(0)) {
    std::unique_lock lock(mutex);
    deliverReady(lock);
  }
  std::unique_lock lock(mutex);
  while (delivered < slices) {
    sliceDone.wait(lock, [&] { return done[delivered] != 0; });
    deliverReady(lock);
  }
}

}  // namespace platform::parallel_detail
