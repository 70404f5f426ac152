#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/core/mediaplayer.h"
#include "platform/qt/controls.h"
#include "playlist/playerrules.h"
#include "windows/captionlesswindow.h"

class QMimeData;
class frmPlaylistPopup;
class PlaylistEditor;

namespace platform {
class FlexGrid;
}

// A progress bar whose Max and Value are seconds (the platform's Single); the maximum never
// drops below 0.01 and the value is held inside 0..Max.
class PlaylistProgress : public QProgressBar {
 public:
  explicit PlaylistProgress(QWidget* parent);
  double Max() const { return max_; }
  double Value() const { return value_; }
  void SetMax(double seconds);
  void SetValue(double seconds);

 private:
  double max_ = 0.01;
  double value_ = 0;
};

namespace testing_support {
struct PlaylistAccess;
}

// The playlist window's controls. Only the playlist editor's own code works them (the tests
// look at them through testing_support::PlaylistAccess); the main window asks the editor.
struct frmPlaylistControls {
  std::string saveInitDir;  // cdlSavePlaylist.InitDir

  QPushButton* btnNewList;
  QPushButton* btnSaveList;
  QPushButton* btnDeleteList;
  QPushButton* btnPlay;
  QPushButton* btnPause;
  QPushButton* btnStop;
  QPushButton* btnFwd;
  QPushButton* btnRev;
  QPushButton* btnExit;
  QPushButton* btnHelp;
  QPushButton* btnMinimize;
  platform::LabelButton* btnPrint;
  platform::Label* lblUnsavedEdit;
  platform::Label* lblPlaylistName;
  platform::Label* lblPlaylistDetailTitle;
  platform::Label* lblPlaylistInventory;
  platform::Label* lblTrack;
  platform::Label* lblTrackLabel;
  platform::Label* lblTrackTime;
  platform::Label* lblTrackTimeLabel;
  platform::Label* lblTimeRemaining;
  platform::Label* lblTimeRemainingLabel;
  platform::Label* lblTotalTime;
  platform::Label* lblTotalTimeLabel;
  platform::Label* lblTotalTracks;
  platform::Label* lblTotalTracksLabel;
  platform::Label* lblPlayStatus;
  platform::Label* lblEntryNumber;
  platform::Label* lblEntryListing;
  platform::Label* lblFile;
  platform::Label* lblTime;
  platform::FlexGrid* grdPlaylistInventory;
  platform::FlexGrid* grdListDetail;
  platform::MediaPlayer* mpPlaylist;
  QSlider* sldPlaylist;
  PlaylistProgress* pbrPlayFile;
  PlaylistProgress* pbrPlaylist;
};

// The playlist editor's window: the known playlists, the open playlist's tracks, its own
// player with transport buttons, progress bars and volume, and New, Save, Delete, Print.
// One instance at a time, the editor's; Exit unloads it (the module's state stays).
class frmPlaylist : public CaptionlessWindow, private frmPlaylistControls {
  Q_OBJECT
  friend class PlaylistEditor;
  friend class frmPlaylistPopup;
  friend struct testing_support::PlaylistAccess;

 public:
  // Plays through `player`, or a Qt player of its own when none is given.
  frmPlaylist(PlaylistEditor& editor, platform::MediaPlayer* player, QWidget* parent = nullptr);
  ~frmPlaylist() override;

  PlaylistEditor& Editor() const { return editor_; }

  void Form_Load();
  // Unloads the window: it is gone once control returns to the event loop.
  void Unload();
  bool Unloaded() const { return unloaded_; }

  // Handlers.
  void Form_KeyDown(int KeyCode, int Shift, bool& handled);
  void btnNewList_Click();
  void btnSaveList_Click();
  void btnDeleteList_Click();
  void btnPlay_Click();
  void btnPause_Click();
  void btnStop_Click();
  void btnFwd_Click();
  void btnRev_Click();
  void btnExit_Click();
  void btnHelp_Click();
  void btnMinimize_Click();
  void btnPrint_Click();
  void grdListDetail_MouseMove(int Button, int Shift, int X, int Y);
  void grdListDetail_DragDrop(int dropRow);
  void grdListDetail_MouseUp(int Button, int Shift, int X, int Y);
  void grdListDetail_OLEDragDrop(const QMimeData& Data, int X, int Y);
  void grdPlaylistInventory_LeaveCell();
  void grdPlaylistInventory_MouseDown(int Button, int Shift, int X, int Y);
  void grdPlaylistInventory_MouseMove(int Button, int Shift, int X, int Y);
  void sldPlaylist_Scroll();
  void sldPlaylist_MouseUp();

  // The unsaved-changes question with its second line; false when the answer was No.
  bool ConfirmDiscard(const char* secondLine);
  // The changed mark: lblUnsavedEdit and the Save button's pictures.
  void MarkUnsaved(bool unsaved);
  bool HasUnsavedEdit() const { return unsaved_; }
  // The save dialog's initial folder from the name lblPlaylistName shows.
  void SetSaveInitDir();
  // lblPlaylistName: a playlist's name (or a word on its state), or the mark of a new list.
  void ShowPlaylistName(const std::string& name);
  void ShowNewPlaylistName();
  // The count of tracks and the total time (also the time remaining) of the open list.
  void ShowTotals(int tracks, std::int64_t seconds);
  int ShownTrackCount() const { return shownTracks_; }
  // The track grid for its rows: the height rule (with room for a sideways scroll bar when the
  // columns are wider than the grid), the time and path columns as wide as their texts.
  void SizeTrackGrid();
  // Where the window first opens: beside the main window (to its right, else below it) where
  // the screen has room for it.
  void PlaceBesideMainWindow(const QWidget* main);
  // The track popup while it is open.
  frmPlaylistPopup* Popup() const;
  void ShowTrackPopup(int X, int Y);

 protected:
  void FunctionKeyDown(int KeyCode, int Shift, bool& handled) override { Form_KeyDown(KeyCode, Shift, handled); }
  bool MayClose() const override { return unloaded_; }
  void PaintSkin(QPainter& p) override;

 private:
  void Build();
  void Wire();
  void HookTrackGridDrops();
  // What a transport button sends in the player's state, sent.
  void SendTransport(playerrules::Button button);

  PlaylistEditor& editor_;
  std::unique_ptr<platform::MediaPlayer> ownPlayer_;
  QPointer<frmPlaylistPopup> popup_;
  bool loaded_ = false;
  bool unloaded_ = false;
  bool placed_ = false;
  bool unsaved_ = false;                // the open list has an edit not saved
  bool newPlaylist_ = false;            // the open list is a new one, saved under no name yet
  std::string playlistName_;            // what lblPlaylistName shows
  int shownTracks_ = 0;                 // what lblTotalTracks shows
  std::int64_t shownTotalSeconds_ = 0;  // what lblTotalTime shows
  int pressRow_ = -1;
  QPoint pressPos_;
};

// Where a window of `size` opens beside `other` on the screen area `room`: to its right, else
// below it, else as far to the right and down as the area goes.
QPoint PlaceBeside(const QRect& other, const QSize& size, const QRect& room);
