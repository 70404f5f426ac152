#pragma once

// Tests look at and work the player area's controls and state as its friend; production code
// asks the area through its methods.
#include "mainwindow/playerarea.h"

class PlayerTestAccess {
 public:
  static PlayerAreaControls& Controls(PlayerArea& p) { return p; }
  static PlayerAreaState& State(PlayerArea& p) { return p.state_; }
};

inline PlayerAreaControls& PlayerUi(PlayerArea& p) { return PlayerTestAccess::Controls(p); }
inline PlayerAreaState& PlayerStateOf(PlayerArea& p) { return PlayerTestAccess::State(p); }
