#include "mainwindow/frmLauncher.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

#include "datafiles/prefs.h"
#include "windows/shareddata.h"
#include "mainwindow/frmEditTapdeck.h"
#include "mainwindow/frmTDButtonConfig.h"
#include "mainwindow/grouptree.h"
#include "mainwindow/launcher.h"
#include "mainwindow/launcher_tree.h"
#include "mainwindow/toolbutton.h"
#include "windows/datafilesteps.h"
#include "windows/skin.h"
#include "windows/helppages.h"
#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/core/programstart.h"
#include "platform/qt/grid.h"
#include "platform/qt/resources.h"

using platform::Label;
using platform::LabelButton;
using platform::TextBox;

namespace {

constexpr int kWindowWidth = 1200;
constexpr int kWindowHeight = 672;


}  // namespace

std::string BuildOpenFilter() {
  return std::string("Audio files (all types)|*.wav; *.mp3; *.m3u; *.snd; *.au; *.aif; *.aifc; *.aiff; *.mid; *.midi; *.rmi|") +
         "WAV files (*.wav)|*.wav|" + "MP3 files (*.mp3; *.m3u)|*.mp3; *.m3u|" +
         "MIDI files (*.mid; *.midi; *.rmi)|*.mid; *.midi; *.rmi|";
}

frmLauncher::frmLauncher(platform::MediaPlayer* player, ProgramState& app, QWidget* parent)
    : CaptionlessWindow("Tolvan Audio Manager", kWindowWidth, kWindowHeight, parent), app_(app) {

  tree_ = new TreeArea(this, app_, *this);
  BuildToolButtons();
  player_ = new PlayerArea(this, *player, app_, *this);
  bank_ = new PresetBank(this, app_, *this);
  pane_ = new DatabasePane(this, *this, *player, app_.decl, app_.io, app_.launcher.gOpenFilter);
  playlist_ = std::make_unique<PlaylistEditor>(app_, *pane_, *this);

  connect(btnConfigure, &QPushButton::clicked, this, &frmLauncher::btnConfigure_Click);
  connect(btnEditor, &QPushButton::clicked, this, &frmLauncher::btnEditor_Click);
  connect(btnSettings, &QPushButton::clicked, this, &frmLauncher::btnSettings_Click);
  connect(btnPlaylistEditor, &QPushButton::clicked, this, &frmLauncher::btnPlaylistEditor_Click);
  connect(btnHelp, &QPushButton::clicked, this, &frmLauncher::btnHelp_Click);
  connect(btnMinimize, &QPushButton::clicked, this, &frmLauncher::btnMinimize_Click);
  connect(btnExit, &QPushButton::clicked, this, &frmLauncher::btnExit_Click);
}

frmLauncher::~frmLauncher() = default;

void frmLauncher::BuildToolButtons() {
  const int y = 6;
  int x = kWindowWidth - 7 * 42 - 8;
  btnConfigure = ToolButton(this, "Configure Tapdeck", x, y);
  btnEditor = ToolButton(this, "Waveform Editor", x += 42, y);
  btnSettings = ToolButton(this, "Tools/Preferences", x += 42, y);
  btnPlaylistEditor = ToolButton(this, "Playlist Editor", x += 42, y);
  btnHelp = ToolButton(this, "Help Index", x += 42, y);
  btnMinimize = ToolButton(this, "Minimize", x += 42, y);
  btnExit = ToolButton(this, "Quit/Exit", x += 42, y);
  tree_->BuildMoveButtons();
}



void frmLauncher::Form_Load() {
  if (loaded_) return;
  loaded_ = true;
  ProgramState& app = app_;
  setWindowIcon(platform::LoadResIcon(201));
  // The window has no caption bar and cannot be closed but by Exit (closeEvent); key
  // preview: the function keys reach this window before the focused control.
  PreviewFunctionKeys();
  platform::SetButtonPicture(btnConfigure, 109);
  platform::SetButtonPicture(btnEditor, 114);
  platform::SetButtonPicture(btnSettings, 113);
  platform::SetButtonPicture(btnPlaylistEditor, 136);
  platform::SetButtonPicture(btnHelp, 110);
  platform::SetButtonPicture(btnMinimize, 111);
  platform::SetButtonPicture(btnExit, 116);
  player_->SetButtonPictures();
  tree_->LoadMoveButtonPictures();
  pane_->SetDBPaneLinkCursors();
  // The preferences and the dialogs' filter are ready before the System Inventory view,
  // which may run an update that reads and saves them.
  datafilesteps::LoadPreferences(app.decl.files, app.io.prefs, [this] { FillPreferencesForm(); });
  app.launcher.gOpenFilter = BuildOpenFilter();
  pane_->ShowSystemInventory();
  tree_->BuildImageList();
  datafilesteps::LoadTapdeckPresets(app.decl.files, app.io.presets, [this] { bank_->RefreshPresetButtons(); });
  bank_->RefreshPresetButtons();
  tree_->LoadGroupTree();
}

FunctionKeyAction FunctionKeyFor(int KeyCode, int Shift) {
  if (KeyCode >= 112 && KeyCode <= 121 && (Shift == 0 || Shift == 1)) {
    return {FunctionKeyAction::Preset, KeyCode - 111 + (Shift == 1 ? 10 : 0)};
  }
  if (KeyCode == 122 && Shift == 0) return {FunctionKeyAction::Configure, 0};
  if (KeyCode == 123 && Shift == 0) return {FunctionKeyAction::PrintKeySheet, 0};
  return {};
}

void frmLauncher::Form_KeyDown(int KeyCode, int Shift, bool& handled) {
  FunctionKeyAction action = FunctionKeyFor(KeyCode, Shift);
  handled = action.kind != FunctionKeyAction::None;
  switch (action.kind) {
    case FunctionKeyAction::Preset: btnPreset_Click(action.preset); break;
    case FunctionKeyAction::Configure: btnConfigure_Click(); break;
    case FunctionKeyAction::PrintKeySheet: PrintPresetKeyAssignments(); break;
    case FunctionKeyAction::None: break;
  }
}

// The pane's own background is the skin too.
bool frmLauncher::DragsFrom(const QWidget* hit) const { return hit == nullptr || hit == pane_; }

void frmLauncher::Form_MouseDown() { StartWindowDrag(Qt::LeftButton, QCursor::pos()); }

void frmLauncher::PaintSkin(QPainter& p) {
  p.drawLine(12, 48, width() - 12, 48);
  p.drawLine(418, 56, 418, 512);
  QFont f = font();
  f.setBold(true);
  f.setPointSize(f.pointSize() + 4);
  p.setFont(f);
  p.setPen(platform::VbColor(skin::kText));
  p.drawText(QRect(16, 6, 500, 36), Qt::AlignVCenter | Qt::AlignLeft, "Tolvan Audio Manager");
}

void frmLauncher::KeepTabInNoteBoxes(bool keep) {
  tree_->YieldTab(keep);
}

void frmLauncher::btnMinimize_Click() { setWindowState(windowState() | Qt::WindowMinimized); }

void frmLauncher::btnExit_Click() {
  // A note being edited is ended through its own question first, so that the typing is not
  // lost unasked; Cancel there keeps the program running.
  if (pane_->EditsNote()) {
    pane_->ToggleDBEditMode();
    if (pane_->EditsNote()) return;
  }
  exiting_ = true;
  close();
  QApplication::exit(0);
}

void frmLauncher::btnHelp_Click() { StartHelpPage(app_.decl.gAppPath, "introduction.htm"); }

void frmLauncher::btnEditor_Click() {
  const datafiles::Preferences& prefs = app_.io.prefs;
  const std::string lf(platform::vbLf), cr(platform::vbCr), q = "\"";
  if (prefs.gWaveEditorPath == "None selected" || prefs.gWaveEditorPath.empty()) {
    platform::MsgBox("There is no wavefrom editor currently selected for use by Tolvan." + lf + cr + lf + cr +
                         "You may configure Tolvan to use the editor of your choice" + lf + cr + "by clicking the " +
                         q + "Tools/Preferences" + q + " button and using the " + lf + cr + q + "Waveform Editor" +
                         q + "configuration control,",
                     platform::vbExclamation, "No waveform editor configured");
    return;
  }
  // The editor may be a program of the host outside the mapped drives, kept by its host path.
  const bool hostPath = prefs.gWaveEditorPath.front() == '/';
  const std::string editor = hostPath ? prefs.gWaveEditorPath : platform::HostPathOf(prefs.gWaveEditorPath);
  platform::FileProbe probe =
      hostPath ? platform::FileLenHost(prefs.gWaveEditorPath) : platform::FileLen(prefs.gWaveEditorPath);
  // A missing folder on the way hides the editor as surely as a missing file.
  if (probe.error == platform::errFileNotFound || probe.error == platform::errPathNotFound) {
    platform::MsgBox("Cannot find the currently configured editor program." + lf + cr + lf + cr +
                         "You may fix the configured editor setting by clicking " + lf + cr + "the " + q +
                         "Tools/Preferences" + q + " button and using the " + lf + cr + q + "Waveform Editor" + q +
                         "configuration control,",
                     platform::vbExclamation, "Invalid waveform editor");
    return;
  }
  if (!probe.ok()) return;
  std::vector<std::string> args;
  if (prefs.gExportFile == 1 && pane_->ShowsFileDetail()) {
    // The shown file's path as stored, byte for byte (its tooltip is a display text).
    std::string shown = platform::HostPathOf(pane_->ShownFilePath());
    if (!shown.empty()) args.push_back(shown);
  }
  platform::ProgramStarters().Start(editor, args,
                                    platform::HostPathOf(app_.decl.gAppPath));
}

void frmLauncher::btnConfigure_Click() {
  frmEditTapdeck form(this);
  form.ShowModal();
}

void frmLauncher::EditOnePreset() {
  frmTDButtonConfig form(this);
  form.ShowModal();
}

void frmLauncher::ShowFileRallysets() {
  pane_->ShowFileRallysets([this](const std::string& shown) {
    return tree_->RallysetsOf(shown);
  });
}

void frmLauncher::PlayTreeEntry(const std::string& path, const std::string& caption, int loopingPreset) {
  player_->PlayEntry(path, caption, loopingPreset);
}

