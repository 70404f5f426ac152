#pragma once
// The closing lines of a bench: each figure beside its goal with "met" or "missed", and an
// exit status that is not 0 when the bench's work was not done.
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

class Verdicts {
 public:
  // A figure that must stay under `goal` (same unit).
  void Under(const std::string& what, double value, double goal, const char* unit) {
    Line(what, value, unit, "goal under " + Number(goal) + " " + unit, value < goal,
         " (" + Number(value / goal) + " of the goal)");
  }
  // A figure against an anchor measured in the same run: value / anchor must stay under `ratio`.
  void RatioUnder(const std::string& what, double value, const std::string& anchorName, double anchor,
                  double ratio, const char* unit) {
    const double r = anchor > 0 ? value / anchor : 0;
    Line(what, value, unit, "goal within " + Number(ratio) + " x " + anchorName, anchor > 0 && r < ratio,
         " (" + Number(r) + " x " + anchorName + ")");
  }
  // A figure shown for comparison, with no goal of its own.
  void Figure(const std::string& what, double value, const char* unit, const std::string& note = "") {
    lines_.push_back(what + ": " + Number(value) + " " + unit + (note.empty() ? "" : "  " + note));
  }
  // The bench's work was not done (or not as it claims): the run fails.
  void Failed(const std::string& why) { failures_.push_back(why); }
  // Marks the benchmark `state` failed when `ok` is false; returns `ok`.
  template <typename BenchmarkState>
  bool Check(BenchmarkState& state, const std::string& what, bool ok) {
    if (ok) return true;
    state.SkipWithError(what.c_str());
    Failed(what);
    return false;
  }
  bool ok() const { return failures_.empty(); }

  // Prints the lines and the failures; the process's exit status.
  int Finish() const {
    std::printf("\n---- figures and goals\n");
    for (const std::string& l : lines_) std::printf("%s\n", l.c_str());
    for (const std::string& f : failures_) std::fprintf(stderr, "FAILED: %s\n", f.c_str());
    if (!failures_.empty()) std::fprintf(stderr, "the bench's work was not done: %zu failure(s)\n", failures_.size());
    return failures_.empty() ? 0 : 1;
  }

  static std::string Number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, v >= 100 || v <= -100 ? "%.0f" : v >= 10 || v <= -10 ? "%.1f" : "%.2f", v);
    return text;
  }

 private:
  void Line(const std::string& what, double value, const char* unit, const std::string& goal, bool met,
            const std::string& ratio) {
    lines_.push_back(what + ": " + Number(value) + " " + unit + "  [" + goal + ": " + (met ? "met" : "missed") +
                     ratio + "]");
  }

  std::vector<std::string> lines_;
  std::vector<std::string> failures_;
};

}  // namespace bench
