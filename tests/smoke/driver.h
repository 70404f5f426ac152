#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace smoke {

// The user at the X display. Presses and keys go through the X server (xdotool), as a user's
// do, so that windows gain and lose their activation for real.
void Click(QPoint global, int button = 1);
void MoveTo(QPoint global);
void DoubleClick(QPoint global);
// xdotool key names: "Return", "Escape", "ctrl+a", "F3".
void Keys(const std::string& keys);
void Type(const std::string& text);

// Where a user would press on a widget: its centre, on screen.
QPoint CentreOf(const QWidget* widget);
// The colour the screen shows at a point, as the platform's &HBBGGRR number.
std::uint32_t ScreenColour(QPoint global);
// The colour the screen shows in a label's top right corner, away from its caption.
std::uint32_t BackOnScreen(const QWidget* label);

// A scenario: steps run one after the other from a timer. A step acts once, then waits until
// its condition holds. The timer also fires inside the program's own modal loops, so that a
// step can answer the dialog a handler waits in. A step that does not finish in time fails the
// scenario: what the screen shows is printed and kept as a screenshot, and the process ends.
class Scenario : public QObject {
 public:
  using Action = std::function<void()>;
  using Condition = std::function<bool()>;

  explicit Scenario(std::string name);

  // A step: `act` once, then wait for `until` (none: the next step follows at once).
  Scenario& Step(std::string what, Action act, Condition until = {});
  Scenario& WaitFor(std::string what, Condition until);
  // Fails the scenario unless `holds` holds when the step is reached.
  Scenario& Check(std::string what, Condition holds);
  // Lets the program run for `ms` before the next step (what a user's pause gives it).
  Scenario& Pause(int ms);
  // The last step: `act` must end the program (its event loop returns) in time.
  Scenario& Exit(std::string what, Action act);
  // A check of what the program left, made after it has ended.
  Scenario& Finally(std::string what, Condition holds);

  void Start();
  // Every step has run, the last one ending the program.
  bool Finished() const { return exitActed_; }
  // The checks of Finally; false (with a report) when one fails.
  bool FinalChecksHold() const;
  // Ends the process with a report of what is on the screen.
  [[noreturn]] void Fail(const std::string& why) const;
  // Runs before a failed scenario ends the process (the scenario's files go).
  std::function<void()> cleanup;

 private:
  struct StepDef {
    std::string what;
    Action act;
    Condition until;
    bool check = false;
    bool exit = false;
    int pauseMs = 0;
  };
  void Tick();
  void SaveShot() const;

  std::string name_;
  std::vector<StepDef> steps_;
  std::vector<std::pair<std::string, Condition>> finally_;
  std::size_t next_ = 0;
  bool acted_ = false;
  bool exitActed_ = false;
  bool ticking_ = false;
  qint64 stepStarted_ = 0;
  QTimer timer_;
};

// How long a step may wait (sanitized builds run slower).
int StepTimeoutMs();

}  // namespace smoke
