// The track grid's popup window.
#include "playlist/window/frmPlaylistPopup.h"

#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/msgbox.h"
#include "platform/qt/grid.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/window/playlist.h"
#include "windows/shareddata.h"

using platform::Label;

frmPlaylistPopup::frmPlaylistPopup(frmPlaylist& owner)
    : PopupWindow(&owner, Qt::WindowStaysOnTopHint), editor_(owner.Editor()) {
  platform::PaintWindow(*this, platform::VbColorNumber("&H8000000F"));
  lblAddTrack = AddItem("Add / Insert", 120);
  lblReplaceTrack = AddItem("Replace", 360);
  lblCopyTrack = AddItem("Copy", 720);
  lblPasteTrack = AddItem("Paste", 960);
  lblDeleteTrack = AddItem("Delete ", 1320);
  FitToItems(1095, 1635);
  connect(lblAddTrack, &Label::Click, this, &frmPlaylistPopup::lblAddTrack_Click);
  connect(lblReplaceTrack, &Label::Click, this, &frmPlaylistPopup::lblReplaceTrack_Click);
  connect(lblCopyTrack, &Label::Click, this, &frmPlaylistPopup::lblCopyTrack_Click);
  connect(lblPasteTrack, &Label::Click, this, &frmPlaylistPopup::lblPasteTrack_Click);
  connect(lblDeleteTrack, &Label::Click, this, &frmPlaylistPopup::lblDeleteTrack_Click);
}

void frmPlaylistPopup::Form_Load() {
  const PlaylistState& s = editor_.state;
  const platform::FlexGrid& g = *editor_.Window().grdListDetail;
  cdlGetTrackFlags = 4;
  cdlGetTrackInitDir = editor_.app.io.prefs.gBrowsePath;
  if (g.Rows() == 1 && g.TextMatrix(0, 2).empty()) {
    lblAddTrack->setEnabled(false);
    lblDeleteTrack->setEnabled(false);
    lblCopyTrack->setEnabled(false);
    mode_ = Mode::NewTrack;
    lblReplaceTrack->SetCaption("New Track");
  }
  if (playlist_detail::RowInvalid(g, s.gTargetRow)) {
    lblAddTrack->setEnabled(false);
    lblCopyTrack->setEnabled(false);
  }
  if (s.gTrackClipboard.empty()) lblPasteTrack->setEnabled(false);
}

namespace {

// The open dialog of the popup; throws VbError (errCancel when cancelled).
std::string ChooseTrack(const std::string& filter, const std::string& initDir, int flags) {
  platform::FileDialogRequest request;
  request.filter = filter;
  request.initDir = initDir;
  request.flags = flags;
  return platform::FileDialogs().Show(request);
}

}  // namespace

void frmPlaylistPopup::lblAddTrack_Click() {
  const Handler running(*this);
  try {
    editor_.state.gTrackToAdd = ChooseTrack(editor_.app.launcher.gOpenFilter, cdlGetTrackInitDir, cdlGetTrackFlags);
    editor_.InsertTrackAtRow();
  } catch (const platform::VbError& error) {
    if (error.number() != platform::errCancel) platform::MsgBox(error.what(), platform::vbOKOnly, {});
  }
  Unload();
}

void frmPlaylistPopup::lblReplaceTrack_Click() {
  const Handler running(*this);
  try {
    editor_.state.gTrackToAdd = ChooseTrack(editor_.app.launcher.gOpenFilter, cdlGetTrackInitDir, cdlGetTrackFlags);
  } catch (const platform::VbError& error) {
    if (error.number() != platform::errCancel) platform::MsgBox(error.what(), platform::vbOKOnly, {});
    Unload();
    return;
  }
  editor_.ReplaceTrackAtRow();
  Unload();
}

void frmPlaylistPopup::lblCopyTrack_Click() {
  const Handler running(*this);
  PlaylistState& s = editor_.state;
  const platform::FlexGrid& g = *editor_.Window().grdListDetail;
  if (s.gTargetRow >= 0 && s.gTargetRow < g.Rows()) s.gTrackClipboard = g.TextMatrix(s.gTargetRow, 4);
  Unload();
}

void frmPlaylistPopup::lblPasteTrack_Click() {
  const Handler running(*this);
  PlaylistState& s = editor_.state;
  s.gTrackToAdd = s.gTrackClipboard;
  if (mode_ == Mode::NewTrack) {
    editor_.ReplaceTrackAtRow();
  } else {
    editor_.InsertTrackAtRow();
  }
  Unload();
}

void frmPlaylistPopup::lblDeleteTrack_Click() {
  const Handler running(*this);
  editor_.DeleteTrackAtRow();
  Unload();
}
