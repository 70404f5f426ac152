#pragma once

#include <array>

#include "mainwindow/tapdeckeditor.h"

// The editor of all 20 presets, "Tap Decker Configuration": presets 1-10 in the left column,
// 11-20 in the right; Apply commits and keeps the window open.
class frmEditTapdeck : public TapdeckEditor {
  Q_OBJECT
 public:
  explicit frmEditTapdeck(frmLauncher* main);

  void btnApply_Click();

  // Rows 1..20; index 0 is not used.
  std::array<platform::Label*, 21> lblPreset{};
  std::array<platform::TextBox*, 21> txtCaption{};
  std::array<platform::TextBox*, 21> txtFilePath{};
  std::array<platform::CheckBox*, 21> chkLoop{};
  std::array<QPushButton*, 21> btnBrowse{};
  platform::Label* lblCaptionA;
  platform::Label* lblCaptionB;
  platform::Label* lblFilePathA;
  platform::Label* lblFilePathB;
  platform::Label* lblLoopA;
  platform::Label* lblLoopB;
  QPushButton* btnApply;

 protected:
  void BeforeArming() override { btnApply->setEnabled(false); }
  void ChangeMarked() override { btnApply->setEnabled(true); }
  void Applied() override { btnApply->setEnabled(false); }
  bool HasPendingEdits() const override { return btnApply->isEnabled(); }
};
