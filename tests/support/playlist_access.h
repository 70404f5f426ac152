#pragma once

#include "playlist/window/frmPlaylist.h"
#include "playlist/window/frmPlaylistPopup.h"
#include "playlist/window/playlist.h"

namespace testing_support {

// The tests' way to the playlist editor's controls and module state, which only the editor's
// own code works: a test looks at them and sets them up as that code does.
struct PlaylistAccess {
  static frmPlaylistControls& Controls(frmPlaylist& w) { return w; }
  static const frmPlaylistControls& Controls(const frmPlaylist& w) { return w; }
  static frmPlaylistPopupItems& Items(frmPlaylistPopup& p) { return p; }
  static const frmPlaylistPopupItems& Items(const frmPlaylistPopup& p) { return p; }
  static PlaylistState& State(PlaylistEditor& editor) { return editor.state; }
};

inline frmPlaylistControls& Ui(frmPlaylist& w) { return PlaylistAccess::Controls(w); }
inline const frmPlaylistControls& Ui(const frmPlaylist& w) { return PlaylistAccess::Controls(w); }
inline frmPlaylistPopupItems& Ui(frmPlaylistPopup& p) { return PlaylistAccess::Items(p); }
inline const frmPlaylistPopupItems& Ui(const frmPlaylistPopup& p) { return PlaylistAccess::Items(p); }
inline PlaylistState& State(PlaylistEditor& editor) { return PlaylistAccess::State(editor); }

}  // namespace testing_support
