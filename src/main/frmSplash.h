#pragma once

#include <QWidget>

#include <functional>

#include "platform/qt/controls.h"

struct ProgramState;

// The splash: holds the screen for two seconds, checks that the two inventory files exist,
// then opens the main window and closes.
class frmSplash : public QWidget {
  Q_OBJECT
 public:
  // `showMainWindow` loads and shows the main window; it returns once the load has ended.
  // `app` is the state whose data files the check looks for.
  frmSplash(ProgramState& app, std::function<void()> showMainWindow, QWidget* parent = nullptr);

  void Form_Load();
  void Form_Activate();
  void timHoldSplash_Timer();

  platform::Label* lblLoadStatus;
  platform::Label* lblVersionNumber;
  platform::VbTimer* timHoldSplash;

  // How many checks in a row could not read the data folder; after a few the program ends.
  int failedChecks() const { return failedChecks_; }
  static constexpr int kMaxFailedChecks = 5;

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  ProgramState& app_;
  std::function<void()> showMainWindow_;
  int failedChecks_ = 0;
  bool done_ = false;
};
