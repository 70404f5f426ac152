#pragma once

#include <QDialog>
#include <QPushButton>

#include <vector>

#include "platform/qt/controls.h"
#include "platform/qt/drivelists.h"

// "Tools and Preferences": the default browse folder, header analysis, the search options,
// the waveform editor and its file option, the orphan count and the way into the reconcile
// window. Edits stay in the controls, marked red, until Apply or OK. Modal, one at a time.
class frmLauncher;

class frmPreferences : public QDialog {
  Q_OBJECT
 public:
  explicit frmPreferences(frmLauncher* main);
  ~frmPreferences() override;

  // The load, then the window modally until it is unloaded.
  int ShowModal();
  void Form_Load();
  void Form_Unload();

  // Copies the preference variables into the controls.
  void Fill();
  // The orphan count and whether Reconcile Database can be used.
  void FillOrphanCount();
  // From the start of the load to the unload.
  bool IsOpen() const { return loaded_ && !unloaded_; }
  bool HasPendingEdits() const { return btnApply->isEnabled(); }

  // The check boxes' family: a click marks the box, a click on its caption label toggles it,
  // a mouse-up sends the focus to the drive list.
  void CheckBox_Click(platform::CheckBox* box);
  void CaptionLabel_Click(platform::CheckBox* box);
  void CheckBox_MouseUp();
  void drvBrowsePath_Change();
  void dirBrowsePath_Change();
  void lblWaveEditorPath_Change();
  void btnBrowseEditor_Click();
  void btnApply_Click();
  void btnOK_Click();
  void btnCancel_Click();
  void btnReconcileDB_Click();
  void btnSettingsHelp_Click();

  platform::Label* lblBrowsePathLabel;
  platform::Label* lblBrowsePath;
  platform::DriveListBox* drvBrowsePath;
  platform::DirListBox* dirBrowsePath;
  platform::Label* lblReconcileDBLabel;
  platform::Label* lblOrphanQuantity;
  platform::Label* lblorphanQuantityLabel;
  QPushButton* btnReconcileDB;
  platform::Label* lblDBSearchLabel;
  platform::CheckBox* chkEnableEmbedded;
  platform::CheckBox* chkAttributes;
  platform::CheckBox* chkUserDB;
  platform::CheckBox* chkChunks;
  platform::Label* lblChkEnableEmbeddedLabel;
  platform::Label* lblChkAttributesLabel;
  platform::Label* lblChkUserDBLabel;
  platform::Label* lblChkChunksLabel;
  platform::Label* lblWaveEditorLabel;
  platform::Label* lblWaveEditorPath;
  QPushButton* btnBrowseEditor;
  platform::CheckBox* chkExportFile;
  platform::Label* lblExportFileLabel;
  QPushButton* btnSettingsHelp;
  QPushButton* btnOK;
  QPushButton* btnCancel;
  QPushButton* btnApply;
  // cdlBrowseEditor's flags.
  int cdlBrowseEditorFlags = 0;

  // Escape: the question of Cancel.
  void reject() override;

 protected:
  void done(int result) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Apply (the window stays) or OK (it is unloaded); false when the re-scan question was
  // answered No and nothing was stored.
  bool Commit(bool apply);
  bool Armed() const;
  void MarkChange();

  frmLauncher& main_;
  std::vector<platform::CheckBox*> boxes_;
  bool loaded_ = false;
  bool unloaded_ = false;
  bool reconciling_ = false;
};

// The re-scan that newly enabled header analysis asked for, when nothing keeps it from
// running: a playback is stopped, search entry closed, a note edit ended through its own
// question. An edit that goes on, or pane work still running, keeps it pending for the next
// close of the preferences.
void RunPendingRescan(frmLauncher& main);
