#pragma once

#include <string>

#include "platform/qt/controls.h"
#include "platform/qt/popupwindow.h"

class frmPlaylist;
class PlaylistEditor;

namespace testing_support {
struct PlaylistAccess;
}

// The popup's items and its open dialog's settings, worked by the popup alone (the tests look
// at them through testing_support::PlaylistAccess).
struct frmPlaylistPopupItems {
  platform::Label* lblAddTrack;
  platform::Label* lblReplaceTrack;
  platform::Label* lblCopyTrack;
  platform::Label* lblPasteTrack;
  platform::Label* lblDeleteTrack;
  int cdlGetTrackFlags = 0;
  std::string cdlGetTrackInitDir;
};

// The track grid's popup: Add / Insert, Replace (or New Track), Copy, Paste and Delete for
// the row gTargetRow. Loaded fresh for every right click; closes after its command or when
// it loses the focus.
class frmPlaylistPopup : public platform::PopupWindow, private frmPlaylistPopupItems {
  Q_OBJECT
  friend struct testing_support::PlaylistAccess;

 public:
  explicit frmPlaylistPopup(frmPlaylist& owner);

  void Form_Load();
  void Form_LostFocus() { Unload(); }

  void lblAddTrack_Click();
  void lblReplaceTrack_Click();
  void lblCopyTrack_Click();
  void lblPasteTrack_Click();
  void lblDeleteTrack_Click();

 protected:
  void LostFocus() override { Form_LostFocus(); }

 private:
  // Replace puts a file in place of a track; on an empty playlist it fills the one row.
  enum class Mode { Replace, NewTrack };

  PlaylistEditor& editor_;
  Mode mode_ = Mode::Replace;
};
