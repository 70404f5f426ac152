#pragma once

#include "platform/qt/controls.h"
#include "platform/qt/popupwindow.h"

class frmPlaylist;
class PlaylistEditor;

// The track grid's popup: Add / Insert, Replace (or New Track), Copy, Paste and Delete for
// the row gTargetRow. Loaded fresh for every right click; closes after its command or when
// it loses the focus.
class frmPlaylistPopup : public platform::PopupWindow {
  Q_OBJECT
 public:
  explicit frmPlaylistPopup(frmPlaylist& owner);

  void Form_Load();
  void Form_LostFocus() { Unload(); }

  void lblAddTrack_Click();
  void lblReplaceTrack_Click();
  void lblCopyTrack_Click();
  void lblPasteTrack_Click();
  void lblDeleteTrack_Click();

  platform::Label* lblAddTrack;
  platform::Label* lblReplaceTrack;
  platform::Label* lblCopyTrack;
  platform::Label* lblPasteTrack;
  platform::Label* lblDeleteTrack;
  int cdlGetTrackFlags = 0;
  std::string cdlGetTrackInitDir;

 protected:
  void LostFocus() override { Form_LostFocus(); }

 private:
  PlaylistEditor& editor_;
};
