#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <functional>

namespace testing_support {

// Runs `step` on a timer every `ms` milliseconds until it returns true, while the code under
// test waits in its own loop (a playback, a modal window). After `limitMs` it gives up: the
// test fails and `rescue` runs, so that the waiting code ends and the test never hangs.
class Steps {
 public:
  Steps(int ms, std::function<bool()> step, std::function<void()> rescue = {}, int limitMs = 10000)
      : step_(std::move(step)), rescue_(std::move(rescue)), limitMs_(limitMs) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (step_()) {
        timer_.stop();
      } else if (clock_.elapsed() > limitMs_) {
        timer_.stop();
        ADD_FAILURE() << "the awaited step never came";
        if (rescue_) rescue_();
      }
    });
    timer_.start(ms);
  }
  ~Steps() { timer_.stop(); }
  bool done() const { return !timer_.isActive(); }

 private:
  QTimer timer_;
  QElapsedTimer clock_;
  std::function<bool()> step_;
  std::function<void()> rescue_;
  int limitMs_;
};

// Acts on the modal window of type `Form` once it is up (and closes it in `act`); the rescue
// closes any modal window left open after the limit.
template <typename Form>
Steps OnModal(std::function<void(Form&)> act, int limitMs = 5000) {
  return Steps(
      5,
      [act] {
        auto* form = qobject_cast<Form*>(QApplication::activeModalWidget());
        if (!form) return false;
        act(*form);
        return true;
      },
      [] {
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
      },
      limitMs);
}

// Lets the work queued so far run, that of QTimer::singleShot(0) included: a check that some
// deferred work did nothing then needs no guess at how long it takes. Returns once a mark
// queued after that work has run, and any modal window the work opened has closed.
inline bool RunQueuedWork(int limitMs = 5000) {
  bool reached = false;
  QObject context;
  QTimer::singleShot(0, &context, [&reached] { reached = true; });
  return QTest::qWaitFor([&reached] { return reached; }, limitMs);
}

}  // namespace testing_support
