#pragma once

#include "mainwindow/tapdeckeditor.h"

// The editor of one preset, "Configure Tap Deck Button": the preset gPresetIndex, with the
// path and note caption of a drop filled in when one waits (gPrefillPending).
class frmTDButtonConfig : public TapdeckEditor {
  Q_OBJECT
 public:
  explicit frmTDButtonConfig(frmLauncher* main);

  platform::Label* lblButtonNumber;
  platform::TextBox* txtCaption;
  platform::TextBox* txtFilePath;
  platform::CheckBox* chkLoop;
  QPushButton* btnBrowse;
  platform::Label* lblCaption;
  platform::Label* lblFilePath;
  platform::Label* lblLoop;

 protected:
  void BeforeRows() override;
  void AfterArming() override;
  bool HasPendingEdits() const override { return AnyMark(); }
};
