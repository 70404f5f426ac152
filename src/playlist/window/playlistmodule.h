#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "playback/driver.h"
#include "playlist/playerrules.h"

// The change to the inventory files that Save or Delete has pending.
enum class InventoryOp { None, Save, Delete };

// Module Playlist's state, shared by the playlist window, its popup and modules Playlist and
// PlaylistPopup. The editor that holds it lives as long as the main window: the copy buffer
// outlives the playlist window. The playlist the editor opens next, gCurrentPlaylistPath, is
// the database pane's (DBViewerState), which sets it for a listed .m3u.
struct PlaylistState {
  playerrules::Command gPlayerCommand{playerrules::Action::None, playerrules::Target::Curr};
  int gCurrentTrack = 1;           // from 1; its row is gCurrentTrack - 1
  int gTargetRow = 0;              // the row a click, popup command or drop aims at
  int gDragSourceRow = 0;          // the track row under the mouse at the last move
  std::string gTrackToAdd;         // the file to insert or put into a row
  std::string gTrackClipboard;     // the track popup's copy; empty: nothing to paste
  std::vector<double> gTrackDurations;  // seconds, index = track number (0 unused)
  std::int64_t gTotalSeconds = 0;  // whole seconds, rounded after each addition
  double gPrevTracksSeconds = 0;   // the tracks before the current one
  bool gTrackEnded = false;        // the last polling loop ended because the track ran out
  playback::LoopState gPlayerLoopState = playback::LoopState::Idle;  // a polling loop runs
  bool gExitPending = false;       // Exit came while a polling loop ran
  std::string gPrevPlayerFile;     // given back to the player after a refused probe
  std::string gSavePlaylistPath;   // the Save dialog's answer
  InventoryOp gInventoryOp = InventoryOp::None;

  // Durations already probed, with the length and time of the file they were read from: an
  // edit re-probes only tracks whose file changed (or appeared) since.
  struct KnownDuration {
    std::int64_t length = 0;
    std::time_t modified = 0;
    double seconds = 0;
  };
  std::unordered_map<std::string, KnownDuration> knownDurations;
  // How many probes went to the player (for the benchmark's "no edit re-probes" check).
  std::int64_t playerProbes = 0;
};
