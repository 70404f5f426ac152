// The track grid's popup window.
#include "playlist/frmPlaylistPopup.h"

#include <QEvent>
#include <QMouseEvent>

#include "main/declarations.h"
#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "playlist/frmPlaylist.h"
#include "playlist/playlist.h"

using platform::Label;

namespace {

constexpr std::uint32_t kItemBack = 0xF0F0F0;  // &H8000000F, the button face
constexpr std::uint32_t kItemHoverBack = 0x800000;
constexpr std::uint32_t kItemHoverText = 0xFFFFFF;

Label* Item(QWidget* parent, const char* caption, int topTwips) {
  auto* l = new Label(parent, caption);
  l->setGeometry(platform::TwipsToPixels(60), platform::TwipsToPixels(topTwips), platform::TwipsToPixels(975),
                 platform::TwipsToPixels(225));
  l->SetBackColor(kItemBack);
  l->SetForeColor(0);
  l->setMouseTracking(true);
  return l;
}

}  // namespace

frmPlaylistPopup::frmPlaylistPopup(QWidget* owner) : PopupWindow(owner, Qt::WindowStaysOnTopHint) {
  setFixedSize(platform::TwipsToPixels(1095), platform::TwipsToPixels(1635));
  QPalette pal = palette();
  pal.setColor(QPalette::Window, platform::VbColor(kItemBack));
  setPalette(pal);
  setAutoFillBackground(true);
  setMouseTracking(true);
  lblAddTrack = Item(this, "Add / Insert", 120);
  lblReplaceTrack = Item(this, "Replace", 360);
  lblCopyTrack = Item(this, "Copy", 720);
  lblPasteTrack = Item(this, "Paste", 960);
  lblDeleteTrack = Item(this, "Delete ", 1320);
  connect(lblAddTrack, &Label::Click, this, &frmPlaylistPopup::lblAddTrack_Click);
  connect(lblReplaceTrack, &Label::Click, this, &frmPlaylistPopup::lblReplaceTrack_Click);
  connect(lblCopyTrack, &Label::Click, this, &frmPlaylistPopup::lblCopyTrack_Click);
  connect(lblPasteTrack, &Label::Click, this, &frmPlaylistPopup::lblPasteTrack_Click);
  connect(lblDeleteTrack, &Label::Click, this, &frmPlaylistPopup::lblDeleteTrack_Click);
  int index = 0;
  for (Label* l : {lblAddTrack, lblReplaceTrack, lblCopyTrack, lblPasteTrack, lblDeleteTrack}) {
    l->installEventFilter(this);
    l->setProperty("item", index++);
  }
}

void frmPlaylistPopup::Form_Load() {
  const PlaylistState& s = PlaylistModule();
  const platform::FlexGrid& g = *PlaylistWindow().grdListDetail;
  cdlGetTrackFlags = 4;
  cdlGetTrackInitDir = App().io.prefs.gBrowsePath;
  if (g.Rows() == 1 && g.TextMatrix(0, 2).empty()) {
    lblAddTrack->setEnabled(false);
    lblDeleteTrack->setEnabled(false);
    lblCopyTrack->setEnabled(false);
    lblReplaceTrack->SetCaption("New Track");
  }
  if (s.gTargetRow >= 0 && s.gTargetRow < g.Rows() && g.TextMatrix(s.gTargetRow, 2) == "0:00  ") {
    lblAddTrack->setEnabled(false);
    lblCopyTrack->setEnabled(false);
  }
  if (s.gTrackClipboard.empty()) lblPasteTrack->setEnabled(false);
}

bool frmPlaylistPopup::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter) {
    const QVariant item = watched->property("item");
    if (item.isValid()) Item_MouseMove(item.toInt());
  }
  return QWidget::eventFilter(watched, e);
}

void frmPlaylistPopup::mouseMoveEvent(QMouseEvent* e) {
  Form_MouseMove();
  QWidget::mouseMoveEvent(e);
}

void frmPlaylistPopup::Form_MouseMove() {
  for (Label* l : {lblAddTrack, lblReplaceTrack, lblCopyTrack, lblPasteTrack, lblDeleteTrack}) {
    l->SetBackColor(kItemBack);
    l->SetForeColor(0);
  }
}

void frmPlaylistPopup::Item_MouseMove(int item) {
  int index = 0;
  for (Label* l : {lblAddTrack, lblReplaceTrack, lblCopyTrack, lblPasteTrack, lblDeleteTrack}) {
    const bool hovered = index++ == item;
    l->SetBackColor(hovered ? kItemHoverBack : kItemBack);
    l->SetForeColor(hovered ? kItemHoverText : 0);
  }
}

namespace {

// The open dialog of the popup; throws VbError (errCancel when cancelled).
std::string ChooseTrack(const frmPlaylistPopup& p) {
  platform::FileDialogRequest request;
  request.filter = App().launcher.gOpenFilter;
  request.initDir = p.cdlGetTrackInitDir;
  request.flags = p.cdlGetTrackFlags;
  return platform::FileDialogs().Show(request);
}

}  // namespace

void frmPlaylistPopup::lblAddTrack_Click() {
  const Handler running(*this);
  try {
    PlaylistModule().gTrackToAdd = ChooseTrack(*this);
    InsertTrackAtRow();
  } catch (const platform::VbError& error) {
    if (error.number() != platform::errCancel) platform::MsgBox(error.what(), platform::vbOKOnly, {});
  }
  Unload();
}

void frmPlaylistPopup::lblReplaceTrack_Click() {
  const Handler running(*this);
  try {
    PlaylistModule().gTrackToAdd = ChooseTrack(*this);
  } catch (const platform::VbError& error) {
    if (error.number() != platform::errCancel) platform::MsgBox(error.what(), platform::vbOKOnly, {});
    Unload();
    return;
  }
  ReplaceTrackAtRow();
  Unload();
}

void frmPlaylistPopup::lblCopyTrack_Click() {
  const Handler running(*this);
  PlaylistState& s = PlaylistModule();
  const platform::FlexGrid& g = *PlaylistWindow().grdListDetail;
  if (s.gTargetRow >= 0 && s.gTargetRow < g.Rows()) s.gTrackClipboard = g.TextMatrix(s.gTargetRow, 4);
  Unload();
}

void frmPlaylistPopup::lblPasteTrack_Click() {
  const Handler running(*this);
  PlaylistState& s = PlaylistModule();
  s.gTrackToAdd = s.gTrackClipboard;
  if (lblReplaceTrack->Caption() == "New Track") {
    ReplaceTrackAtRow();
  } else {
    InsertTrackAtRow();
  }
  Unload();
}

void frmPlaylistPopup::lblDeleteTrack_Click() {
  const Handler running(*this);
  DeleteTrackAtRow();
  Unload();
}
