#pragma once
// Google Benchmark's console table, keeping each benchmark's wall time for the verdicts that
// follow it.
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

class TimesReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& reports) override {
    for (const Run& r : reports) {
      if (r.error_occurred) continue;
      const std::string name = r.run_name.function_name + (r.run_name.args.empty() ? "" : "/" + r.run_name.args);
      const double ms = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
      // Repeated, the median stands for the benchmark; the single runs only until it comes.
      if (r.run_type == Run::RT_Aggregate) {
        if (r.aggregate_name == "median") {
          ms_[name] = ms;
          aggregated_[name] = true;
        }
      } else if (!aggregated_[name]) {
        ms_[name] = ms;
      }
    }
    ConsoleReporter::ReportRuns(reports);
  }

  // Milliseconds of wall time per iteration by name ("BM_Name" or "BM_Name/args", without the
  // iteration count); false when the benchmark did not run or failed.
  bool Ms(const std::string& name, double& ms) const {
    auto it = ms_.find(name);
    if (it == ms_.end()) return false;
    ms = it->second;
    return true;
  }

 private:
  std::map<std::string, double> ms_;
  std::map<std::string, bool> aggregated_;
};

}  // namespace bench
