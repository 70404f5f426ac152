#include "smoke/driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace smoke {
namespace {

void Xdotool(const QStringList& args) {
  const int rc = QProcess::execute("xdotool", args);
  if (rc != 0) {
    std::fprintf(stderr, "smoke: xdotool %s failed (%d)\n", qPrintable(args.join(' ')), rc);
    std::fflush(stderr);
    std::_Exit(2);
  }
}

QStringList At(QPoint p) { return {"mousemove", QString::number(p.x()), QString::number(p.y())}; }

// What a window shows, for the report of a failed step.
std::string Describe(const QWidget* w) {
  std::string text = std::string(w->metaObject()->className()) + " \"" + w->windowTitle().toStdString() + "\"";
  const QRect g = w->frameGeometry();
  text += " at " + std::to_string(g.x()) + "," + std::to_string(g.y()) + " " + std::to_string(g.width()) + "x" +
          std::to_string(g.height());
  if (const auto* box = qobject_cast<const QMessageBox*>(w)) text += ": " + box->text().toStdString();
  if (w == QApplication::activeWindow()) text += " (active)";
  return text;
}

}  // namespace

void Click(QPoint global, int button) { Xdotool(At(global) + QStringList{"click", QString::number(button)}); }

void MoveTo(QPoint global) { Xdotool(At(global)); }

std::uint32_t ScreenColour(QPoint global) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return 0;
  // The whole screen, as a screenshot shows it: a grab of a small area of the root window
  // does not always see the windows over it.
  const QImage shot = screen->grabWindow(0).toImage();
  if (!shot.rect().contains(global)) return 0;
  const QRgb c = shot.pixel(global);
  return static_cast<std::uint32_t>(qRed(c)) | static_cast<std::uint32_t>(qGreen(c)) << 8 |
         static_cast<std::uint32_t>(qBlue(c)) << 16;
}

std::uint32_t BackOnScreen(const QWidget* label) { return ScreenColour(label->mapToGlobal(QPoint(label->width() - 3, 2))); }

void DoubleClick(QPoint global) {
  Xdotool(At(global) + QStringList{"click", "--repeat", "2", "--delay", "60", "1"});
}

void Keys(const std::string& keys) {
  QStringList args{"key", "--delay", "40"};
  args += QString::fromStdString(keys).split(' ', Qt::SkipEmptyParts);
  Xdotool(args);
}

void Type(const std::string& text) { Xdotool({"type", "--delay", "8", "--", QString::fromStdString(text)}); }

QPoint CentreOf(const QWidget* widget) { return widget->mapToGlobal(widget->rect().center()); }

int StepTimeoutMs() {
  if (const char* ms = std::getenv("TOLVAN_SMOKE_STEP_MS")) return std::atoi(ms);
  return 20000;
}

Scenario::Scenario(std::string name) : name_(std::move(name)) {
  timer_.setInterval(30);
  connect(&timer_, &QTimer::timeout, this, &Scenario::Tick);
}

Scenario& Scenario::Step(std::string what, Action act, Condition until) {
  steps_.push_back({std::move(what), std::move(act), std::move(until)});
  return *this;
}

Scenario& Scenario::WaitFor(std::string what, Condition until) { return Step(std::move(what), {}, std::move(until)); }

Scenario& Scenario::Check(std::string what, Condition holds) {
  StepDef step{std::move(what), {}, std::move(holds)};
  step.check = true;
  steps_.push_back(std::move(step));
  return *this;
}

Scenario& Scenario::Pause(int ms) {
  StepDef step{"pause " + std::to_string(ms) + " ms", {}, {}};
  step.pauseMs = ms;
  steps_.push_back(std::move(step));
  return *this;
}

Scenario& Scenario::Exit(std::string what, Action act) {
  StepDef step{std::move(what), std::move(act), [] { return false; }};
  step.exit = true;
  steps_.push_back(std::move(step));
  return *this;
}

Scenario& Scenario::Finally(std::string what, Condition holds) {
  finally_.emplace_back(std::move(what), std::move(holds));
  return *this;
}

bool Scenario::FinalChecksHold() const {
  for (const auto& [what, holds] : finally_) {
    std::fprintf(stderr, "[%s] after the end: %s\n", name_.c_str(), what.c_str());
    if (!holds()) {
      std::fprintf(stderr, "[%s] FAILED after the end: %s\n", name_.c_str(), what.c_str());
      return false;
    }
  }
  return true;
}

void Scenario::Start() { timer_.start(); }

void Scenario::Tick() {
  // The program may run a nested loop inside a step's action: the step goes on from there.
  if (ticking_ || next_ >= steps_.size()) return;
  ticking_ = true;
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  StepDef& step = steps_[next_];
  if (!acted_) {
    std::fprintf(stderr, "[%s] %zu: %s\n", name_.c_str(), next_ + 1, step.what.c_str());
    std::fflush(stderr);
    acted_ = true;
    stepStarted_ = now;
    if (step.check && !step.until()) Fail("check failed: " + step.what);
    if (step.act) step.act();
    exitActed_ = step.exit;
  }
  const bool done = step.pauseMs > 0 ? now - stepStarted_ >= step.pauseMs : step.check || !step.until || step.until();
  if (done) {
    SaveShot();
    ++next_;
    acted_ = false;
    if (next_ >= steps_.size()) timer_.stop();
  } else if (now - stepStarted_ > StepTimeoutMs()) {
    Fail("timed out: " + step.what);
  }
  ticking_ = false;
}

void Scenario::SaveShot() const {
  // TOLVAN_SMOKE_SHOTS names a folder that gets the screen after every step, to look at.
  static const QString folder = qEnvironmentVariable("TOLVAN_SMOKE_SHOTS");
  if (folder.isEmpty()) return;
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    screen->grabWindow(0).save(QString("%1/%2-%3.png").arg(folder, QString::fromStdString(name_)).arg(next_ + 1, 3, 10, QChar('0')));
  }
}

void Scenario::Fail(const std::string& why) const {
  std::fprintf(stderr, "[%s] FAILED at step %zu: %s\n", name_.c_str(), next_ + 1, why.c_str());
  for (const QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible()) std::fprintf(stderr, "  window: %s\n", Describe(w).c_str());
  }
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QString shot = QString("smoke-%1-failed.png").arg(QString::fromStdString(name_));
    if (screen->grabWindow(0).save(shot)) std::fprintf(stderr, "  screenshot: %s\n", qPrintable(shot));
  }
  std::fflush(stderr);
  if (cleanup) cleanup();
  std::_Exit(1);
}

}  // namespace smoke
