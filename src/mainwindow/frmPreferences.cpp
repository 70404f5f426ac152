#include "mainwindow/frmPreferences.h"

#include <QCloseEvent>
#include <QPointer>

#include "datafiles/prefs.h"
#include "pane/dbviewer.h"
#include "inventory/reconcile.h"
#include "windows/shareddata.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "windows/datafilesteps.h"
#include "windows/skin.h"
#include "windows/helppages.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/msgbox.h"
#include "platform/qt/resources.h"

using platform::CheckBox;
using platform::Label;

namespace {


constexpr std::uint32_t kFieldBack = 0xC0C0C0;
constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kGreyText = 0xA0A0A0;

using platform::Q;

Label* Heading(QWidget* parent, const char* caption, int x, int y, int w) {
  auto* l = new Label(parent, caption);
  l->SetBackColor(skin::kBack);
  l->SetForeColor(skin::kText);
  QFont f = l->font();
  f.setBold(true);
  l->setFont(f);
  l->setGeometry(x, y, w, 20);
  return l;
}

Label* Plain(QWidget* parent, const char* caption, int x, int y, int w, std::uint32_t back = skin::kFormGrey) {
  auto* l = new Label(parent, caption);
  l->SetBackColor(back);
  l->SetForeColor(kBlack);
  l->setGeometry(x, y, w, 20);
  return l;
}

QPushButton* Button(QWidget* parent, const char* caption, int x, int y, int w, int h) {
  auto* b = new QPushButton(caption, parent);
  b->setAutoDefault(false);
  b->setGeometry(x, y, w, h);
  return b;
}

std::string LfCr() { return std::string(platform::vbLf) + std::string(platform::vbCr); }

}  // namespace

frmPreferences::frmPreferences(frmLauncher* main) : QDialog(main), main_(*main) {
  main_.SetPreferencesWindow(this);
  setWindowTitle("Tools and Preferences");
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(560, 392);
  platform::PaintWindow(*this, skin::kFormGrey, kBlack);

  lblBrowsePathLabel = Heading(this, "Default Browse Path", 12, 10, 262);
  lblBrowsePath = Plain(this, "", 12, 36, 262, kFieldBack);
  lblBrowsePath->SetBorder(true);
  drvBrowsePath = new platform::DriveListBox(this);
  drvBrowsePath->setGeometry(12, 62, 262, 24);
  dirBrowsePath = new platform::DirListBox(this);
  dirBrowsePath->setGeometry(12, 90, 262, 150);

  lblReconcileDBLabel = Heading(this, "  User DB Reconcilation", 290, 10, 258);
  lblOrphanQuantity = Plain(this, "", 300, 36, 52, kFieldBack);
  lblOrphanQuantity->SetBorder(true);
  lblorphanQuantityLabel = Plain(this, "# of orphan records", 360, 36, 180);
  btnReconcileDB = Button(this, "Reconcile Database", 300, 62, 160, 28);

  lblDBSearchLabel = Heading(this, "  DB Search Options", 290, 104, 258);
  struct BoxRow {
    CheckBox** box;
    Label** label;
    const char* caption;
    int y;
  };
  const BoxRow rows[] = {
      {&chkEnableEmbedded, &lblChkEnableEmbeddedLabel, "Enable Embedded Info", 132},
      {&chkAttributes, &lblChkAttributesLabel, "File Attributes", 158},
      {&chkUserDB, &lblChkUserDBLabel, "User DB", 184},
      {&chkChunks, &lblChkChunksLabel, "Embedded Info", 210},
  };
  for (const BoxRow& r : rows) {
    *r.box = new CheckBox(this);
    (*r.box)->setGeometry(300, r.y + 1, 17, 17);
    *r.label = Plain(this, r.caption, 324, r.y, 200);
  }

  lblWaveEditorLabel = Heading(this, "  Waveform Editor", 12, 254, 536);
  lblWaveEditorPath = Plain(this, "", 12, 282, 490, kFieldBack);
  lblWaveEditorPath->SetBorder(true);
  btnBrowseEditor = Button(this, "", 510, 276, 36, 32);
  btnBrowseEditor->setToolTip("Browse");
  chkExportFile = new CheckBox(this);
  chkExportFile->setGeometry(12, 315, 17, 17);
  lblExportFileLabel = Plain(this, "Export File", 36, 314, 200);

  btnSettingsHelp = Button(this, "", 12, 348, 36, 32);
  btnSettingsHelp->setToolTip("Help");
  btnOK = Button(this, "OK", 560 - 12 - 3 * 90 - 2 * 8, 348, 90, 32);
  btnCancel = Button(this, "Cancel", 560 - 12 - 2 * 90 - 8, 348, 90, 32);
  btnApply = Button(this, "Apply", 560 - 12 - 90, 348, 90, 32);
  btnApply->setEnabled(false);

  boxes_ = {chkEnableEmbedded, chkAttributes, chkUserDB, chkChunks, chkExportFile};
  const std::pair<CheckBox*, Label*> captions[] = {{chkEnableEmbedded, lblChkEnableEmbeddedLabel},
                                                   {chkAttributes, lblChkAttributesLabel},
                                                   {chkUserDB, lblChkUserDBLabel},
                                                   {chkChunks, lblChkChunksLabel},
                                                   {chkExportFile, lblExportFileLabel}};
  for (const auto& [box, label] : captions) {
    CheckBox* b = box;
    b->SetBackColor(skin::kFormGrey);
    connect(b, &CheckBox::Click, this, [this, b] { CheckBox_Click(b); });
    connect(label, &Label::Click, this, [this, b] { CaptionLabel_Click(b); });
    // Header analysis itself keeps the focus where the click put it.
    if (b != chkEnableEmbedded) connect(b, &CheckBox::MouseUp, this, [this] { CheckBox_MouseUp(); });
  }
  connect(drvBrowsePath, &platform::DriveListBox::Change, this, &frmPreferences::drvBrowsePath_Change);
  connect(dirBrowsePath, &platform::DirListBox::Change, this, &frmPreferences::dirBrowsePath_Change);
  connect(lblWaveEditorPath, &Label::Change, this, &frmPreferences::lblWaveEditorPath_Change);
  connect(btnBrowseEditor, &QPushButton::clicked, this, &frmPreferences::btnBrowseEditor_Click);
  connect(btnApply, &QPushButton::clicked, this, &frmPreferences::btnApply_Click);
  connect(btnOK, &QPushButton::clicked, this, &frmPreferences::btnOK_Click);
  connect(btnCancel, &QPushButton::clicked, this, &frmPreferences::btnCancel_Click);
  connect(btnReconcileDB, &QPushButton::clicked, this, &frmPreferences::btnReconcileDB_Click);
  connect(btnSettingsHelp, &QPushButton::clicked, this, &frmPreferences::btnSettingsHelp_Click);
}

frmPreferences::~frmPreferences() {
  // A window destroyed without its unload still disarms the change handlers.
  if (IsOpen()) main_.State().launcher.gPrefsArmed = false;
}

int frmPreferences::ShowModal() {
  Form_Load();
  return exec();
}

void frmPreferences::Form_Load() {
  loaded_ = true;
  unloaded_ = false;
  main_.State().launcher.gPrefsArmed = false;
  setWindowIcon(platform::LoadResIcon(201));
  platform::SetButtonPicture(btnBrowseEditor, 109);
  platform::SetButtonPicture(btnSettingsHelp, 110);
  cdlBrowseEditorFlags = 4;
  main_.FillPreferencesForm();
  main_.State().launcher.gPrefsArmed = true;
}

void frmPreferences::Form_Unload() {
  if (unloaded_ || !loaded_) return;
  unloaded_ = true;
  LauncherState& state = main_.State().launcher;
  state.gPrefsArmed = false;
  if (!state.gRescanPending) return;
  hide();
  RunPendingRescan(main_);
}

void frmPreferences::done(int result) {
  Form_Unload();
  QDialog::done(result);
}

void frmPreferences::reject() { btnCancel_Click(); }

void frmPreferences::closeEvent(QCloseEvent* event) {
  // The window manager's close (its close box, Alt+F4) asks as Cancel and Escape do.
  btnCancel_Click();
  if (IsOpen()) {
    event->ignore();
  } else {
    event->accept();
  }
}

bool frmPreferences::Armed() const { return main_.State().launcher.gPrefsArmed && IsOpen(); }

void frmPreferences::MarkChange() { btnApply->setEnabled(true); }

void frmPreferences::Fill() {
  const datafiles::Preferences& prefs = main_.State().io.prefs;
  drvBrowsePath->SetDrive(prefs.gBrowsePath);
  dirBrowsePath->SetPath(prefs.gBrowsePath);
  lblBrowsePath->SetCaption(Q(prefs.gBrowsePath));
  FillOrphanCount();
  chkEnableEmbedded->SetValue(prefs.gEnableEmbedded);
  const bool embedded = chkEnableEmbedded->Value() == 1;
  chkChunks->setEnabled(embedded);
  lblChkChunksLabel->SetForeColor(embedded ? kBlack : kGreyText);
  chkAttributes->SetValue(prefs.gSearchAttributes);
  chkUserDB->SetValue(prefs.gSearchUserDB);
  chkChunks->SetValue(prefs.gSearchChunks);
  lblWaveEditorPath->SetCaption(Q(prefs.gWaveEditorPath));
  chkExportFile->SetValue(prefs.gExportFile);
}

void frmPreferences::FillOrphanCount() {
  const std::string& count = main_.State().io.prefs.gOrphanQuantity;
  lblOrphanQuantity->SetCaption(Q(count));
  btnReconcileDB->setEnabled(platform::TrimLeft(count) != "0" && platform::Trim(count) != "n/a");
}

void frmPreferences::CheckBox_Click(CheckBox* box) {
  if (!Armed()) return;
  box->SetBackColor(skin::kChanged);
  MarkChange();
}

void frmPreferences::CaptionLabel_Click(CheckBox* box) { box->SetValue(box->Value() == 0 ? 1 : 0); }

void frmPreferences::CheckBox_MouseUp() { drvBrowsePath->setFocus(); }

void frmPreferences::drvBrowsePath_Change() { dirBrowsePath->SetPath(drvBrowsePath->Drive()); }

void frmPreferences::dirBrowsePath_Change() {
  if (!Armed()) return;
  lblBrowsePath->SetCaption(Q(dirBrowsePath->Path()));
  lblBrowsePath->SetForeColor(skin::kChanged);
  MarkChange();
}

void frmPreferences::lblWaveEditorPath_Change() {
  if (!Armed()) return;
  lblWaveEditorPath->SetForeColor(skin::kChanged);
  MarkChange();
}

void frmPreferences::btnBrowseEditor_Click() {
  platform::FileDialogRequest request;
  request.flags = cdlBrowseEditorFlags;
  request.hostPathOutsideDrives = true;
  try {
    lblWaveEditorPath->SetCaption(Q(platform::FileDialogs().Show(request)));
  } catch (const platform::VbError& error) {
    if (error.number() != platform::errCancel) platform::MsgBox(error.what(), platform::vbOKOnly, "");
    return;
  }
  dirBrowsePath->setFocus();
}

bool frmPreferences::Commit(bool apply) {
  datafiles::Preferences& prefs = main_.State().io.prefs;
  LauncherState& state = main_.State().launcher;
  const datafiles::Preferences stored = prefs;
  const bool rescanStored = state.gRescanPending;
  if (chkEnableEmbedded->Value() == 1 && prefs.gEnableEmbedded == 0) {
    const std::string br = LfCr(), q = "\"";
    const int answer = platform::MsgBox(
        "The database search option " + q + "Embedded Info" + q + " has been newly selected. This will require" + br +
            "re-scanning your system inventory to include the embedded info from all your audio files." + br + br +
            "Depending on the number of files in your inventory and the speed of your system," + br +
            "this re-scan could take a few minutes to complete." + br + br + "Do you wish to continue?",
        platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2,
        "Enabling 'Embedded Info' search requires Inventory re-scan");
    if (answer != platform::vbYes) return false;
    state.gRescanPending = true;
  }
  const bool embedded = chkEnableEmbedded->Value() == 1;
  prefs.gBrowsePath = lblBrowsePath->Caption().toStdString();
  prefs.gEnableEmbedded = chkEnableEmbedded->Value();
  prefs.gSearchAttributes = chkAttributes->Value();
  prefs.gSearchUserDB = chkUserDB->Value();
  prefs.gSearchChunks = embedded ? chkChunks->Value() : 0;
  if (prefs.gEnableEmbedded == 0) state.gRescanPending = false;
  prefs.gWaveEditorPath = lblWaveEditorPath->Caption().toStdString();
  prefs.gExportFile = chkExportFile->Value();
  if (!datafilesteps::SavePreferences(main_.State().decl.files, prefs)) {
    // Told already. The preferences stay as prefs.dat holds them; the window stays open with
    // its edits marked, to be committed again.
    prefs = stored;
    state.gRescanPending = rescanStored;
    return false;
  }
  if (embedded) {
    chkChunks->setEnabled(true);
    lblChkChunksLabel->SetForeColor(kBlack);
  } else {
    chkChunks->SetValue(0);
    chkChunks->setEnabled(false);
    lblChkChunksLabel->SetForeColor(kGreyText);
  }
  main_.Pane().ShowSearchIncludeLine();
  if (apply) {
    lblBrowsePath->SetForeColor(kBlack);
    lblWaveEditorPath->SetForeColor(kBlack);
    for (CheckBox* box : boxes_) box->SetBackColor(skin::kFormGrey);
    btnApply->setEnabled(false);
    drvBrowsePath->setFocus();
  } else {
    done(QDialog::Accepted);
  }
  return true;
}

void frmPreferences::btnApply_Click() { Commit(true); }
void frmPreferences::btnOK_Click() { Commit(false); }

void frmPreferences::btnCancel_Click() {
  if (btnApply->isEnabled()) {
    const int answer = platform::MsgBox("Changes to program settings have been made but not saved." +
                                            std::string(platform::vbCrLf) +
                                            "Do you wish to exit without saving the changes?",
                                        platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2,
                                        "Changes Not Saved");
    if (answer != platform::vbYes) return;
  }
  done(QDialog::Rejected);
}

void frmPreferences::btnReconcileDB_Click() {
  if (reconciling_) return;
  reconciling_ = true;
  ReconcileDB& reconcile = main_.Pane().Reconcile();
  reconcile.FindOrphanedRecords();
  reconcile.OpenReconcileWindow();
  reconciling_ = false;
  drvBrowsePath->setFocus();
}

void frmPreferences::btnSettingsHelp_Click() { StartHelpPage(main_.State().decl.gAppPath, "toolsnprefs.htm"); }

void RunPendingRescan(frmLauncher& window) {
  frmLauncher* main = &window;
  LauncherState& state = main->State().launcher;
  // Work of the pane that lets events run would be pulled from under it.
  if (!state.gRescanPending || main->Pane().PaneBusy()) return;
  DatabasePane& pane = main->Pane();
  // The scan loads every file into the player a playback uses.
  if (main->Player().PlaybackRunning()) main->Player().StopPlayback();
  if (!pane.ShowInventoryForRescan()) return;
  pane.UpdateInventory();
  state.gRescanPending = false;
}

frmPreferences* frmLauncher::PreferencesWindowOrNull() const { return preferences_.data(); }
void frmLauncher::SetPreferencesWindow(frmPreferences* window) { preferences_ = window; }

void frmLauncher::btnSettings_Click() {
  // A re-scan confirmed in the window could not run inside the pane's running work.
  if (pane_->PaneBusy()) return;
  if (frmPreferences* open = preferences_.data(); open && open->IsOpen()) {
    open->activateWindow();
    return;
  }
  frmPreferences form(this);
  form.ShowModal();
}

void frmLauncher::FillPreferencesForm() {
  frmPreferences* w = preferences_.data();
  if (!w || !w->IsOpen()) return;
  // Edits not yet applied stay as they are; only what the reconcile window changed is shown.
  if (w->HasPendingEdits()) {
    w->FillOrphanCount();
  } else {
    w->Fill();
  }
}
