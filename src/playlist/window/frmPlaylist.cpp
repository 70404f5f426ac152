// The playlist editor's window: its controls, load, frame, function keys and handlers.
#include "playlist/window/frmPlaylist.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDrag>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>
#include <QWindow>

#include <algorithm>
#include <climits>
#include <cmath>

#include "analysis/durationprobe.h"
#include "pane/databasepane.h"
#include "windows/drops.h"
#include "windows/eventhook.h"
#include "windows/shareddata.h"
#include "windows/skin.h"
#include "windows/helppages.h"
#include "windows/printout.h"
#include "platform/core/clock.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/core/printer.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "platform/qt/mediaplayer_qt.h"
#include "platform/qt/resources.h"
#include "playlist/window/frmPlaylistPopup.h"
#include "playlist/playerrules.h"
#include "playlist/window/playlist.h"
#include "playlist/playtime.h"

using namespace playlist_detail;
using platform::Label;
using platform::Q;

namespace {

constexpr int kWindowWidth = 712;
// Room below the track grid's tallest height for its sideways scroll bar.
constexpr int kWindowHeight = 428;
constexpr const char* kRowDragFormat = "application/x-tolvan-track-row";

// Progress bars count milliseconds, so that short tracks move smoothly.
int Milliseconds(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  return static_cast<int>(std::min(seconds * 1000.0, static_cast<double>(INT_MAX)));
}

QPushButton* PictureButton(QWidget* parent, const char* tooltip, int x, int y, int w, int h) {
  auto* b = new QPushButton(parent);
  b->setToolTip(tooltip);
  b->setGeometry(x, y, w, h);
  b->setFocusPolicy(Qt::NoFocus);
  return b;
}

Label* SkinLabel(QWidget* parent, int x, int y, int w, const QString& caption = {}, int h = 18) {
  auto* l = new Label(parent, caption);
  l->setGeometry(x, y, w, h);
  return l;
}

std::string UpToLastBackslash(const std::string& text) {
  const std::size_t slash = text.rfind('\\');
  return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

}  // namespace

PlaylistProgress::PlaylistProgress(QWidget* parent) : QProgressBar(parent) {
  setTextVisible(false);
  setRange(0, Milliseconds(max_));
  setValue(0);
}

void PlaylistProgress::SetMax(double seconds) {
  // A bar never takes an empty range: 0.01 s at least.
  max_ = std::isfinite(seconds) && seconds >= 0.01 ? seconds : 0.01;
  setMaximum(std::max(1, Milliseconds(max_)));
  SetValue(value_);
}

void PlaylistProgress::SetValue(double seconds) {
  value_ = std::isfinite(seconds) ? std::clamp(seconds, 0.0, max_) : 0.0;
  setValue(std::min(maximum(), Milliseconds(value_)));
}

namespace {

// The grids draw no frame: a list whose rows all fit shows them without a scroll bar, as the
// height rule (rows times the row height, plus 10 twips) intends.
void Frameless(platform::FlexGrid* grid) {
  if (auto* view = grid->findChild<QAbstractItemView*>()) view->setFrameShape(QFrame::NoFrame);
}

}  // namespace

frmPlaylist::frmPlaylist(PlaylistEditor& editor, platform::MediaPlayer* player, QWidget* parent)
    : CaptionlessWindow("Tolvan Playlist Editor", kWindowWidth, kWindowHeight, parent), editor_(editor) {
  mpPlaylist = player;
  if (!mpPlaylist) {
    ownPlayer_ = std::make_unique<platform::QtMediaPlayer>(analysis::ProbeDurationHost);
    mpPlaylist = ownPlayer_.get();
  }
  setAttribute(Qt::WA_DeleteOnClose, false);
  Build();
  Wire();
}

frmPlaylist::~frmPlaylist() = default;

void frmPlaylist::Build() {
  // The known playlists, and the list buttons beside them.
  lblPlaylistInventory = SkinLabel(this, 14, 8, 120, "Playlists");
  grdPlaylistInventory = new platform::FlexGrid(this);
  grdPlaylistInventory->move(14, 28);
  grdPlaylistInventory->resize(310, 20);
  grdPlaylistInventory->SetCols(2);
  grdPlaylistInventory->SetRows(1);
  grdPlaylistInventory->SetFixedRows(0);
  grdPlaylistInventory->SetFixedCols(0);
  for (auto set : {&platform::FlexGrid::SetBackColor, &platform::FlexGrid::SetBackColorFixed,
                   &platform::FlexGrid::SetBackColorSel, &platform::FlexGrid::SetGridColor,
                   &platform::FlexGrid::SetBackColorBkg}) {
    (grdPlaylistInventory->*set)(kWhite);
  }
  grdPlaylistInventory->SetForeColor(0);
  grdPlaylistInventory->SetForeColorFixed(0);
  grdPlaylistInventory->SetForeColorSel(0);

  btnNewList = PictureButton(this, "Create new playlist", 340, 28, 38, 38);
  btnSaveList = PictureButton(this, "Save playlist", 384, 28, 38, 38);
  btnDeleteList = PictureButton(this, "Delete playlist", 428, 28, 38, 38);
  btnPrint = SkinLabel(this, 478, 36, 50, "Print", 22);
  btnPrint->setAlignment(Qt::AlignCenter);
  btnPrint->SetBorder(true);
  lblUnsavedEdit = SkinLabel(this, 340, 72, 130, "UNSAVED EDIT");
  lblUnsavedEdit->SetForeColor(skin::kChanged);
  lblUnsavedEdit->hide();

  btnHelp = PictureButton(this, "Help Index", 606, 8, 30, 30);
  btnMinimize = PictureButton(this, "Minimize", 640, 8, 30, 30);
  btnExit = PictureButton(this, "Exit Playlist Editor", 674, 8, 30, 30);

  // The player: transport, progress, volume, status.
  const int ty = 118;
  btnRev = PictureButton(this, "Previous Track", 14, ty, 36, 28);
  btnPlay = PictureButton(this, "Play", 54, ty, 36, 28);
  btnPause = PictureButton(this, "Pause", 94, ty, 36, 28);
  btnStop = PictureButton(this, "Stop", 134, ty, 36, 28);
  btnFwd = PictureButton(this, "Next Track", 174, ty, 36, 28);
  lblPlayStatus = SkinLabel(this, 220, ty + 5, 60, {});
  lblPlayStatus->hide();
  pbrPlayFile = new PlaylistProgress(this);
  pbrPlayFile->setGeometry(290, ty + 1, 240, 11);
  pbrPlaylist = new PlaylistProgress(this);
  pbrPlaylist->setGeometry(290, ty + 16, 240, 11);
  sldPlaylist = new QSlider(Qt::Horizontal, this);
  sldPlaylist->setGeometry(552, ty + 2, 150, 24);
  sldPlaylist->setRange(-5000, 0);
  sldPlaylist->setValue(0);
  sldPlaylist->setSingleStep(100);
  sldPlaylist->setPageStep(500);
  sldPlaylist->setToolTip("Volume");
  sldPlaylist->setFocusPolicy(Qt::NoFocus);

  // The numbers of the open playlist.
  const int iy = 156;
  lblTrackLabel = SkinLabel(this, 14, iy, 40, "Track");
  lblTrack = SkinLabel(this, 54, iy, 44);
  lblTrackTimeLabel = SkinLabel(this, 100, iy, 36, "Time");
  lblTrackTime = SkinLabel(this, 136, iy, 70);
  lblTimeRemainingLabel = SkinLabel(this, 210, iy, 104, "Time Remaining:");
  lblTimeRemaining = SkinLabel(this, 314, iy, 76);
  lblTotalTimeLabel = SkinLabel(this, 396, iy, 74, "Total Time:");
  lblTotalTime = SkinLabel(this, 470, iy, 76);
  lblTotalTracksLabel = SkinLabel(this, 556, iy, 80, "# of Tracks:");
  lblTotalTracks = SkinLabel(this, 636, iy, 64);

  lblPlaylistDetailTitle = SkinLabel(this, 14, 180, 110, "Playlist Detail");
  QFont bold = lblPlaylistDetailTitle->font();
  bold.setBold(true);
  lblPlaylistDetailTitle->setFont(bold);
  lblPlaylistName = SkinLabel(this, 124, 180, 576);

  // The track grid and its column headings.
  const int gx = 14, gy = 220;
  lblEntryNumber = SkinLabel(this, gx + 2, gy - 18, 26, "#");
  lblEntryListing = SkinLabel(this, gx + 27, gy - 18, 190, "Listing");
  lblTime = SkinLabel(this, gx + 227, gy - 18, 50, "Time");
  lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblFile = SkinLabel(this, gx + 284, gy - 18, 200, "File");
  grdListDetail = new platform::FlexGrid(this);
  grdListDetail->move(gx, gy);
  grdListDetail->resize(kWindowWidth - 2 * gx, 20);
  grdListDetail->SetCols(5);
  grdListDetail->SetRows(1);
  grdListDetail->SetFixedRows(0);
  grdListDetail->SetFixedCols(1);
  for (auto set : {&platform::FlexGrid::SetBackColor, &platform::FlexGrid::SetBackColorFixed,
                   &platform::FlexGrid::SetBackColorSel, &platform::FlexGrid::SetGridColor,
                   &platform::FlexGrid::SetBackColorBkg}) {
    (grdListDetail->*set)(skin::kBack);
  }
  for (auto set : {&platform::FlexGrid::SetForeColor, &platform::FlexGrid::SetForeColorFixed,
                   &platform::FlexGrid::SetForeColorSel}) {
    (grdListDetail->*set)(skin::kText);
  }
  HookTrackGridDrops();
  Frameless(grdPlaylistInventory);
  Frameless(grdListDetail);
  const QString bar = QString("QProgressBar { border: 1px solid %1; background: %2; }"
                              "QProgressBar::chunk { background: %1; }")
                          .arg(platform::VbColor(skin::kText).name(), platform::VbColor(skin::kBack).name());
  pbrPlayFile->setStyleSheet(bar);
  pbrPlaylist->setStyleSheet(bar);
}

void frmPlaylist::Wire() {
  connect(btnNewList, &QPushButton::clicked, this, &frmPlaylist::btnNewList_Click);
  connect(btnSaveList, &QPushButton::clicked, this, &frmPlaylist::btnSaveList_Click);
  connect(btnDeleteList, &QPushButton::clicked, this, &frmPlaylist::btnDeleteList_Click);
  connect(btnPlay, &QPushButton::clicked, this, &frmPlaylist::btnPlay_Click);
  connect(btnPause, &QPushButton::clicked, this, &frmPlaylist::btnPause_Click);
  connect(btnStop, &QPushButton::clicked, this, &frmPlaylist::btnStop_Click);
  connect(btnFwd, &QPushButton::clicked, this, &frmPlaylist::btnFwd_Click);
  connect(btnRev, &QPushButton::clicked, this, &frmPlaylist::btnRev_Click);
  connect(btnExit, &QPushButton::clicked, this, &frmPlaylist::btnExit_Click);
  connect(btnHelp, &QPushButton::clicked, this, &frmPlaylist::btnHelp_Click);
  connect(btnMinimize, &QPushButton::clicked, this, &frmPlaylist::btnMinimize_Click);
  connect(btnPrint, &Label::Click, this, &frmPlaylist::btnPrint_Click);
  connect(grdListDetail, &platform::FlexGrid::MouseDown, this, [this](int, int, int x, int y) {
    pressRow_ = grdListDetail->MouseRow();
    pressPos_ = QPoint(x, y);
  });
  connect(grdListDetail, &platform::FlexGrid::MouseMove, this, &frmPlaylist::grdListDetail_MouseMove);
  connect(grdListDetail, &platform::FlexGrid::MouseUp, this, &frmPlaylist::grdListDetail_MouseUp);
  connect(grdPlaylistInventory, &platform::FlexGrid::LeaveCell, this, &frmPlaylist::grdPlaylistInventory_LeaveCell);
  connect(grdPlaylistInventory, &platform::FlexGrid::MouseDown, this, &frmPlaylist::grdPlaylistInventory_MouseDown);
  connect(grdPlaylistInventory, &platform::FlexGrid::MouseMove, this, &frmPlaylist::grdPlaylistInventory_MouseMove);
  connect(sldPlaylist, &QSlider::valueChanged, this, &frmPlaylist::sldPlaylist_Scroll);
  new EventHook(sldPlaylist, [this](QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease) sldPlaylist_MouseUp();
    return false;
  });
}

void frmPlaylist::HookTrackGridDrops() {
  auto* view = grdListDetail->findChild<QAbstractItemView*>();
  if (!view) return;
  QWidget* port = view->viewport();
  port->setAcceptDrops(true);
  new EventHook(port, [this, port](QEvent* e) {
    switch (e->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* d = static_cast<QDropEvent*>(e);
        const QMimeData* m = d->mimeData();
        if (m->hasFormat(kRowDragFormat) || m->hasText() || m->hasUrls()) {
          d->acceptProposedAction();
        } else {
          d->ignore();
        }
        return true;
      }
      case QEvent::Drop: {
        auto* d = static_cast<QDropEvent*>(e);
        const QPoint at = d->position().toPoint();
        const int x = platform::PixelsToTwips(at.x()), y = platform::PixelsToTwips(at.y());
        if (d->mimeData()->hasFormat(kRowDragFormat)) {
          const int rows = grdListDetail->Rows();
          const int row = std::min(y / platform::FlexGrid::kRowHeightTwips + grdListDetail->TopRow(), rows - 1);
          d->acceptProposedAction();
          grdListDetail_DragDrop(row);
        } else {
          d->acceptProposedAction();
          grdListDetail_OLEDragDrop(*d->mimeData(), x, y);
        }
        (void)port;
        return true;
      }
      default:
        return false;
    }
  });
}

void frmPlaylist::Form_Load() {
  if (loaded_) return;
  loaded_ = true;
  setWindowIcon(platform::LoadResIcon(201));
  // Key preview: the function keys reach this window before the focused control.
  PreviewFunctionKeys();
  platform::SetButtonPicture(btnExit, 116);
  platform::SetButtonPicture(btnHelp, 110);
  platform::SetButtonPicture(btnMinimize, 111);
  platform::SetButtonPicture(btnNewList, 137, platform::ResKind::Bitmap, 138);
  MarkUnsaved(false);
  platform::SetButtonPicture(btnDeleteList, 141, platform::ResKind::Bitmap, 142);
  platform::SetButtonPicture(btnRev, 134, platform::ResKind::Bitmap, 0, 6);
  platform::SetButtonPicture(btnFwd, 135, platform::ResKind::Bitmap, 0, 6);
  platform::SetButtonPicture(btnPlay, 131, platform::ResKind::Bitmap, 0, 6);
  platform::SetButtonPicture(btnPause, 133, platform::ResKind::Bitmap, 0, 6);
  platform::SetButtonPicture(btnStop, 132, platform::ResKind::Bitmap, 0, 6);
  btnPrint->setCursor(platform::LoadResCursor(skin::kHandIcon));
  editor_.FormatPlaylistInventoryGrid();
  editor_.FormatListDetailGrid();
  grdListDetail->SetTextMatrix(0, 0, "1.");
  SizeTrackGrid();
  editor_.RefreshPlaylistInventory();
  SetSaveInitDir();
  editor_.state.gPlayerLoopState = playback::LoopState::Idle;
}

void frmPlaylist::Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (popup_) popup_->Unload();
  mpPlaylist->Stop();
  hide();
  deleteLater();
}

void frmPlaylist::MarkUnsaved(bool unsaved) {
  unsaved_ = unsaved;
  lblUnsavedEdit->setVisible(unsaved);
  if (unsaved) {
    platform::SetButtonPicture(btnSaveList, 143, platform::ResKind::Bitmap, 144);
  } else {
    platform::SetButtonPicture(btnSaveList, 139, platform::ResKind::Bitmap, 140);
  }
}

void frmPlaylist::SetSaveInitDir() { saveInitDir = UpToLastBackslash(playlistName_); }

void frmPlaylist::ShowPlaylistName(const std::string& name) {
  playlistName_ = name;
  newPlaylist_ = false;
  lblPlaylistName->SetCaption(Q(name));
}

void frmPlaylist::ShowNewPlaylistName() {
  ShowPlaylistName("New playlist...");
  newPlaylist_ = true;
}

void frmPlaylist::ShowTotals(int tracks, std::int64_t seconds) {
  shownTracks_ = tracks;
  shownTotalSeconds_ = seconds;
  lblTotalTracks->SetCaption(QString::number(tracks));
  const QString total = Q(FormatPlayTime(seconds));
  lblTotalTime->SetCaption(total);
  lblTimeRemaining->SetCaption(total);
}

void frmPlaylist::SizeTrackGrid() {
  platform::FlexGrid& g = *grdListDetail;
  const int rows = g.Rows();
  // The time and path columns as wide as their texts need in the grid's face (never narrower
  // than designed), the headings over them.
  const QFontMetrics metrics(g.font());
  constexpr int kCellPaddingPx = 4;
  auto widthTwips = [&](const QString& text) {
    return platform::PixelsToTwips(metrics.horizontalAdvance(text) + kCellPaddingPx);
  };
  int timeTwips = std::max(kTimeColumnTwips, widthTwips(QStringLiteral("10:00:00  ")));
  int pathTwips = kPathColumnTwips;
  for (int r = 0; r < rows; ++r) pathTwips = std::max(pathTwips, widthTwips(Q(g.TextMatrix(r, 3))));
  g.SetColWidth(2, timeTwips);
  g.SetColWidth(3, pathTwips);
  const int timeRight = g.x() + platform::TwipsToPixels(g.ColWidth(0) + g.ColWidth(1) + timeTwips);
  lblTime->move(timeRight - lblTime->width(), lblTime->y());
  lblFile->move(timeRight + 2, lblFile->y());

  // Rows beyond the height rule's eleven scroll; a list wider than the grid scrolls sideways,
  // and the height makes room for that bar, so that no row is covered.
  int heightTwips = rows < 11 ? g.RowHeight(0) * rows + 10 : kTrackGridMaxTwips;
  int roomPx = g.width() - (rows >= 11 ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0);
  int columnsTwips = 0;
  for (int c = 0; c < g.Cols(); ++c) columnsTwips += g.ColWidth(c);
  if (platform::TwipsToPixels(columnsTwips) > roomPx) {
    heightTwips += platform::PixelsToTwips(style()->pixelMetric(QStyle::PM_ScrollBarExtent));
  }
  g.SetHeight(heightTwips);
}

bool frmPlaylist::ConfirmDiscard(const char* secondLine) {
  if (!HasUnsavedEdit()) return true;
  const int answer = platform::MsgBox(std::string("Changes made to the current playlist have not been saved.") +
                                          std::string(platform::vbCrLf) + secondLine,
                                      platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2,
                                      "Changes Not Saved");
  return answer != platform::vbNo;
}

// ---- Frame

void frmPlaylist::Form_KeyDown(int KeyCode, int Shift, bool& handled) {
  editor_.host.PlaylistFunctionKey(KeyCode, Shift, handled);
}

void frmPlaylist::PaintSkin(QPainter& p) {
  p.drawLine(12, 108, width() - 12, 108);
  p.drawRoundedRect(QRect(548, 116, 158, 30), 4, 4);  // the volume's border
  p.drawLine(12, 176, width() - 12, 176);
}

// ---- Buttons

void frmPlaylist::btnNewList_Click() {
  if (!ConfirmDiscard("Do you wish to start a new playlist without saving the changes?")) return;
  editor_.ResetToNewPlaylist();
  grdListDetail->setFocus();
}

void frmPlaylist::btnSaveList_Click() {
  PlaylistState& s = editor_.state;
  s.gInventoryOp = InventoryOp::Save;
  try {
    platform::FileDialogRequest request;
    request.save = true;
    request.filter = "M3U file (*.m3u)|*.m3u|All files (*.*)|*.*|";
    request.initDir = saveInitDir;
    request.flags = 1028;
    std::string chosen = platform::FileDialogs().Show(request);
    // A playlist is saved as an .m3u file, whatever name was typed.
    if (platform::LowerCase(chosen.size() >= 4 ? chosen.substr(chosen.size() - 4) : chosen) != ".m3u") {
      chosen += ".m3u";
    }
    const bool isOpenPlaylist = !newPlaylist_ && chosen == editor_.pane.CurrentPlaylistPath();
    if (!isOpenPlaylist && platform::FileLen(chosen).ok()) {
      const int answer = platform::MsgBox(
          "The file " + chosen + " already exists." + std::string(platform::vbCrLf) + "Do you wish to replace it?",
          platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2, "Save Playlist");
      if (answer == platform::vbNo) {
        grdListDetail->setFocus();
        return;
      }
    }
    s.gSavePlaylistPath = chosen;
    editor_.WritePlaylistFile();
    editor_.UpdatePlaylistInventory();
  } catch (const platform::VbError& error) {
    if (error.number() != platform::errCancel) platform::MsgBox(error.what(), platform::vbOKOnly, {});
    grdListDetail->setFocus();
    return;
  }
  // The saved file is now the open playlist.
  editor_.pane.SetCurrentPlaylistPath(s.gSavePlaylistPath);
  ShowPlaylistName(s.gSavePlaylistPath);
  lblPlaylistName->SetForeColor(skin::kText);
  platform::FlexGrid& g = *grdPlaylistInventory;
  for (int i = 0; i < g.Rows(); ++i) {
    if (g.TextMatrix(i, 1) == s.gSavePlaylistPath) {
      g.SetRow(i);
      g.SetCol(0);
      g.SetCellBackColor(kNavy);
      g.SetCellForeColor(kWhite);
      g.SetTopRow(i);
    }
  }
  MarkUnsaved(false);
  SetSaveInitDir();
}

void frmPlaylist::btnDeleteList_Click() {
  editor_.state.gInventoryOp = InventoryOp::Delete;
  editor_.UpdatePlaylistInventory();
  grdListDetail->setFocus();
}

void frmPlaylist::btnPlay_Click() {
  PlaylistState& s = editor_.state;
  grdListDetail->setFocus();
  // A list whose total time shows as "0:00" does not start.
  const std::optional<playerrules::Command> command = playerrules::TransportCommand(
      playerrules::Button::Play, mpPlaylist->PlayState(), shownTotalSeconds_ > 0, false, false);
  QPointer<frmPlaylist> alive(this);
  if (command) {
    s.gPlayerCommand = *command;
    editor_.RunPlayerCommand();
  }
  if (alive && s.gExitPending) {
    s.gExitPending = false;
    Unload();
  }
}

void frmPlaylist::SendTransport(playerrules::Button button) {
  PlaylistState& s = editor_.state;
  const std::optional<playerrules::Command> command = playerrules::TransportCommand(
      button, mpPlaylist->PlayState(), true, shownTracks_ > s.gCurrentTrack, s.gCurrentTrack > 1);
  QPointer<frmPlaylist> alive(this);
  if (command) {
    s.gPlayerCommand = *command;
    editor_.RunPlayerCommand();
  }
  if (alive) grdListDetail->setFocus();
}

void frmPlaylist::btnPause_Click() { SendTransport(playerrules::Button::Pause); }
void frmPlaylist::btnStop_Click() { SendTransport(playerrules::Button::Stop); }
void frmPlaylist::btnFwd_Click() { SendTransport(playerrules::Button::Fwd); }
void frmPlaylist::btnRev_Click() { SendTransport(playerrules::Button::Rev); }

void frmPlaylist::btnExit_Click() {
  PlaylistState& s = editor_.state;
  if (!ConfirmDiscard("Do you wish to exit the Playlist Editor without saving the changes?")) return;
  const int state = mpPlaylist->PlayState();
  if (state != 0 && state != platform::MediaPlayer::Closed) {
    s.gPlayerCommand = {playerrules::Action::Stop, playerrules::Target::Curr};
    editor_.RunPlayerCommand();
  }
  if (s.gPlayerLoopState == playback::LoopState::Active) {
    // A polling loop further down the call chain is ending; it unloads the window.
    s.gExitPending = true;
    return;
  }
  Unload();
}

void frmPlaylist::btnHelp_Click() { StartHelpPage(editor_.app.decl.gAppPath, "playedit.htm"); }

void frmPlaylist::btnMinimize_Click() { setWindowState(windowState() | Qt::WindowMinimized); }

void frmPlaylist::btnPrint_Click() {
  using platform::PrintItem;
  skin::Pressed(btnPrint);
  platform::SetScreenPointer(11);
  platform::DoEvents();
  try {
    platform::Printer& printer = platform::Printers();
    PrintPrintoutHead(printer, platform::vbPRORPortrait, "Playlist Listing - Tolvan Audio Manager",
                      platform::ShortDate(platform::CurrentClock().Now()), false);
    printer.SetFontSize(14);
    printer.SetFontBold(true);
    printer.PrintLine({PrintItem::Direct(lblPlaylistDetailTitle->Caption().toStdString())});
    printer.SetFontSize(10);
    printer.PrintLine({PrintItem::Direct(lblPlaylistName->Caption().toStdString())});
    printer.PrintLine({PrintItem::Direct("# of Tracks: " + lblTotalTracks->Caption().toStdString()),
                       PrintItem::Zone("Total Time: " + lblTotalTime->Caption().toStdString())});
    printer.PrintLine({});
    platform::FlexGrid& g = *grdListDetail;
    const int row = g.Row(), col = g.Col();
    g.SetRow(0);
    g.SetCol(0);
    g.SetRowSel(g.Rows() - 1);
    g.SetColSel(g.Cols() - 1);
    printer.PrintLine({PrintItem::Direct(g.Clip())});
    g.SetRow(row);
    g.SetCol(col);
    printer.EndDoc();
  } catch (const platform::VbError& failure) {
    platform::SetScreenPointer(0);
    skin::AtRest(btnPrint);
    platform::MsgBox(failure.what(), platform::vbExclamation, "Playlist Not Printed");
    return;
  }
  platform::SetScreenPointer(0);
  skin::AtRest(btnPrint);
}

// ---- Track grid

void frmPlaylist::grdListDetail_MouseMove(int Button, int, int, int Y) {
  PlaylistState& s = editor_.state;
  platform::FlexGrid& g = *grdListDetail;
  const int row = Y / platform::FlexGrid::kRowHeightTwips + g.TopRow();
  if (row >= 0 && row < g.Rows()) g.SetToolTipText(g.TextMatrix(row, 4));
  s.gDragSourceRow = g.MouseRow();
  if (mpPlaylist->PlayState() != 0 || Button != 1) return;
  // A row drag; the offscreen platform has no drag and drop to run it.
  if (QGuiApplication::platformName() == "offscreen" || pressRow_ < 0) return;
  const QPoint moved(platform::TwipsToPixels(Y) - platform::TwipsToPixels(pressPos_.y()), 0);
  if (std::abs(moved.x()) < QApplication::startDragDistance()) return;
  s.gDragSourceRow = pressRow_;
  pressRow_ = -1;
  auto* drag = new QDrag(this);
  auto* data = new QMimeData;
  data->setData(kRowDragFormat, QByteArray::number(s.gDragSourceRow));
  drag->setMimeData(data);
  drag->setDragCursor(platform::LoadResPicture(301, platform::ResKind::Cursor), Qt::MoveAction);
  drag->exec(Qt::MoveAction);
}

void frmPlaylist::grdListDetail_DragDrop(int dropRow) {
  PlaylistState& s = editor_.state;
  platform::FlexGrid& g = *grdListDetail;
  if (dropRow == s.gDragSourceRow || dropRow < 0 || dropRow >= g.Rows() || s.gDragSourceRow < 0 ||
      s.gDragSourceRow >= g.Rows()) {
    return;
  }
  g.SetRowPosition(s.gDragSourceRow, dropRow);
  s.gTrackDurations.assign(static_cast<std::size_t>(g.Rows()) + 1, 0.0);
  for (int i = 0; i < g.Rows(); ++i) {
    g.SetTextMatrix(i, 0, std::to_string(i + 1) + ".");
    s.gTrackDurations[static_cast<std::size_t>(i) + 1] = editor_.TrackDuration(*mpPlaylist, g.TextMatrix(i, 4));
    ColourTrackRow(g, i, i == s.gCurrentTrack - 1 ? kCurrentTrackColor : skin::kText);
  }
  s.gPrevTracksSeconds = editor_.DurationsUpTo(s.gTargetRow);
  pbrPlayFile->SetMax(s.gTrackDurations.back());
  pbrPlaylist->SetMax(static_cast<double>(s.gTotalSeconds));
  pbrPlaylist->SetValue(s.gPrevTracksSeconds);
  MarkUnsaved(true);
}

void frmPlaylist::grdListDetail_MouseUp(int Button, int, int X, int Y) {
  PlaylistState& s = editor_.state;
  platform::FlexGrid& g = *grdListDetail;
  pressRow_ = -1;
  s.gTargetRow = g.MouseRow();
  // The row the click aims at decides, also for the right button, which does not make its row
  // current: a right click on an invalid track never loads it.
  const int clicked = s.gTargetRow;
  const std::string time = clicked >= 0 && clicked < g.Rows() ? g.TextMatrix(clicked, 2) : std::string();
  const int state = mpPlaylist->PlayState();
  QPointer<frmPlaylist> alive(this);
  if (!time.empty() && time != kInvalidTrackTime) {
    if (const std::optional<playerrules::Command> command = playerrules::ClickCommand(state, Button)) {
      s.gPlayerCommand = *command;
      editor_.RunPlayerCommand();
    }
  }
  if (alive && !unloaded_ && Button == 2 && (state == 0 || state > 2)) ShowTrackPopup(X, Y);
}

frmPlaylistPopup* frmPlaylist::Popup() const { return popup_.data(); }

void frmPlaylist::ShowTrackPopup(int X, int Y) {
  if (popup_) popup_->Unload();
  popup_ = new frmPlaylistPopup(*this);
  popup_->Form_Load();
  const QRect frame = frameGeometry();
  const int left = frame.left() + popup_->width() / 2 + platform::TwipsToPixels(X);
  const int top = frame.top() + 2 * popup_->height() + platform::TwipsToPixels(Y);
  popup_->MoveOnScreen({left, top});
  popup_->show();
  popup_->activateWindow();
}

void frmPlaylist::grdListDetail_OLEDragDrop(const QMimeData& Data, int, int Y) {
  PlaylistState& s = editor_.state;
  const std::optional<std::string> path = DroppedPath(Data);
  if (!path) return;
  editor_.app.launcher.gPrefillPath = *path;
  activateWindow();
  s.gTrackToAdd = *path;
  platform::FlexGrid& g = *grdListDetail;
  const int row = Y / platform::FlexGrid::kRowHeightTwips + g.TopRow();
  if (row >= 0 && row < g.Rows()) s.gTargetRow = row;
  editor_.InsertTrackAtRow();
}

// ---- Playlist inventory grid

void frmPlaylist::grdPlaylistInventory_LeaveCell() {
  grdPlaylistInventory->SetCellBackColor(kWhite);
  grdPlaylistInventory->SetCellForeColor(0);
}

void frmPlaylist::grdPlaylistInventory_MouseDown(int Button, int, int, int) {
  if (Button != 1) return;
  platform::FlexGrid& g = *grdPlaylistInventory;
  const std::string& current = editor_.pane.CurrentPlaylistPath();
  g.SetCellBackColor(kNavy);
  g.SetCellForeColor(kWhite);
  if (!ConfirmDiscard("Do you wish to start a new playlist without saving the changes?")) {
    // The highlight goes back to the playlist still open.
    g.SetCellBackColor(kWhite);
    g.SetCellForeColor(0);
    for (int r = 0; r < g.Rows(); ++r) {
      if (!current.empty() && g.TextMatrix(r, 1) == current) {
        g.SetRow(r);
        g.SetCol(0);
        g.SetCellBackColor(kNavy);
        g.SetCellForeColor(kWhite);
      }
    }
    return;
  }
  editor_.pane.SetCurrentPlaylistPath(g.TextMatrix(g.Row(), 1));
  editor_.LoadPlaylist();
  MarkUnsaved(false);
  SetSaveInitDir();
}

void frmPlaylist::grdPlaylistInventory_MouseMove(int, int, int, int Y) {
  platform::FlexGrid& g = *grdPlaylistInventory;
  const int row = Y / platform::FlexGrid::kRowHeightTwips + g.TopRow();
  if (row >= 0 && row < g.Rows()) g.SetToolTipText(g.TextMatrix(row, 1));
}

// ---- Volume

void frmPlaylist::sldPlaylist_Scroll() {
  const int value = sldPlaylist->value();
  mpPlaylist->SetVolume(value);
  const int db = static_cast<int>(std::floor(value / 100.0));
  const QString tip = QString::number(db) + "dB";
  sldPlaylist->setToolTip(tip);
  if (sldPlaylist->isSliderDown()) QToolTip::showText(QCursor::pos(), tip, sldPlaylist);
}

void frmPlaylist::sldPlaylist_MouseUp() { grdListDetail->setFocus(); }

// ---- Placement

QPoint PlaceBeside(const QRect& other, const QSize& size, const QRect& room) {
  for (const QPoint at : {QPoint(other.right() + 1, other.top()), QPoint(other.left(), other.bottom() + 1)}) {
    if (room.contains(QRect(at, size))) return at;
  }
  // No room beside it: on the screen, as far to the right and down as it goes.
  return {std::max(room.left(), room.right() + 1 - size.width()), std::max(room.top(), room.bottom() + 1 - size.height())};
}

void frmPlaylist::PlaceBesideMainWindow(const QWidget* main) {
  if (placed_) return;
  placed_ = true;
  if (!main || !main->screen()) return;
  move(PlaceBeside(main->frameGeometry(), frameGeometry().size(), main->screen()->availableGeometry()));
}
