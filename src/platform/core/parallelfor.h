#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace platform {

namespace parallel_detail {

// The run without its types: `work(worker, slice)` on the worker's thread (worker 0 is the
// calling thread), `deliver(slice)` on the calling thread.
void RunOrdered(std::size_t slices, std::size_t workers, const std::function<void(std::size_t, std::size_t)>& work,
                const std::function<void(std::size_t)>& deliver);

}  // namespace parallel_detail

// Slices 0 .. slices-1 worked on by up to `threads` threads, the calling one among them, each
// taking the next slice not taken yet. Their results reach `deliver` on the calling thread in
// slice order, each once it and all before it are done, so that what the caller puts together
// is what one thread would give.
//
// - makeWorker() is called on the calling thread once per thread, before any starts; it gives
//   that thread's `work(slice, Result& out)`, which fills a default Result and may keep state
//   from slice to slice.
// - deliver(slice, Result&) may take the result apart; it is freed afterwards.
// - The first failure in slice order ends the run: a work that throws stops the taking of
//   slices; its slice is delivered as far as the work got (as one thread would leave it),
//   then its exception is rethrown here and no later slice is delivered. A deliver that
//   throws ends the run likewise.
// - A thread that cannot be had (std::system_error when it is made) leaves its slices to the
//   others.
// - However the run ends, every thread finishes its slice and is joined before this returns.
template <typename Result, typename MakeWorker, typename Deliver>
void OrderedParallelFor(std::size_t slices, unsigned threads, MakeWorker makeWorker, Deliver deliver) {
  if (slices == 0) return;
  using Worker = std::invoke_result_t<MakeWorker&>;
  const std::size_t pool = std::clamp<std::size_t>(threads, 1, slices);
  std::vector<std::unique_ptr<Worker>> workers;
  workers.reserve(pool);
  // Made in place: a worker may hold what cannot be moved.
  for (std::size_t w = 0; w < pool; ++w) workers.push_back(std::unique_ptr<Worker>(new Worker(makeWorker())));
  const auto results = std::make_unique<Result[]>(slices);
  parallel_detail::RunOrdered(
      slices, pool, [&](std::size_t w, std::size_t k) { (*workers[w])(k, results[k]); },
      [&](std::size_t k) {
        Result result = std::move(results[k]);
        deliver(k, result);
      });
}

}  // namespace platform
