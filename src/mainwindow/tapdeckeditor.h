#pragma once

#include <QDialog>
#include <QPushButton>

#include <array>
#include <string>
#include <vector>

#include "platform/qt/controls.h"

// What the two preset editors share: rows of caption, path and loop flag with their change
// marks, the browse dialog, the commit into the presets and the cancel. frmEditTapdeck shows
// all 20 presets, frmTDButtonConfig one.
class frmLauncher;

class TapdeckEditor : public QDialog {
  Q_OBJECT
 public:
  // The controls of one preset's row.
  struct Row {
    int n = 0;  // the preset number
    platform::TextBox* txtCaption = nullptr;
    platform::TextBox* txtFilePath = nullptr;
    platform::CheckBox* chkLoop = nullptr;
    QPushButton* btnBrowse = nullptr;
  };

  // The load, then the window modally until it is unloaded.
  int ShowModal();
  void Form_Load();
  void Form_Unload();

  void txtCaption_Change(Row& row);
  void txtFilePath_Change(Row& row);
  void chkLoop_Click(Row& row);
  void btnBrowse_Click(Row& row);
  void btnOK_Click();
  void btnCancel_Click();
  void btnEditTDHelp_Click();

  const std::vector<Row>& rows() const { return rows_; }

  QPushButton* btnOK;
  QPushButton* btnCancel;
  QPushButton* btnEditTDHelp;

 protected:
  struct Kind {
    const char* caption;
    const char* cancelFirstLine;  // the first line of the "Changes Not Saved" question
    const char* helpPage;
  };

  TapdeckEditor(frmLauncher* main, const Kind& kind);

  // Builds one row's controls (placed by the caller) and wires them.
  Row& AddRow(int n);
  // The rows' presets go into the preset arrays, the buttons, preset.dat and the File Detail
  // list. Every non-empty path is checked first: with one that does not exist, nothing is
  // taken, the path is named and gets the focus. A preset.dat that cannot be written is told
  // and takes nothing either. True when committed.
  bool Commit(bool apply);
  void ClearMarks();
  bool AnyMark() const;

  // What the twins do differently: steps of the load, a mark's further effect, the end of an
  // Apply, and when Cancel asks.
  virtual void BeforeRows() {}
  virtual void BeforeArming() {}
  virtual void AfterArming() {}
  virtual void ChangeMarked() {}
  virtual void Applied() {}
  virtual bool HasPendingEdits() const = 0;

  void done(int result) override;
  // Escape and the window manager's close (QDialog routes both here): the question of Cancel.
  void reject() override;

  std::vector<Row> rows_;

  frmLauncher& main_;

 private:
  friend class TapdeckEditorTestAccess;

  void Mark(Row& row, platform::TextBox* box, const std::string& saved);

  Kind kind_;
  bool unloaded_ = false;
  // The presets' captions and paths as the window found them when it opened; the change marks
  // compare against these, and Apply does not renew them.
  std::array<std::string, 20> gPresetCaptionsSaved;
  std::array<std::string, 20> gPresetPathsSaved;
};

// Colours of the change marks.
inline constexpr std::uint32_t kTextColor = 0;
