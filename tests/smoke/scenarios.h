#pragma once

#include "smoke/driver.h"
#include "smoke/machine.h"

namespace smoke {

// The scenarios, each run by a process of its own on a fresh machine; each ends with Exit.
// A scenario is laid out before the program starts, and may add to the machine then.
void TreeScenario(Scenario& s, Machine& m);
void PlaylistPopupScenario(Scenario& s, Machine& m);
void PlaylistPlayerScenario(Scenario& s, Machine& m);
void MainWindowScenario(Scenario& s, Machine& m);
void ReconcileScenario(Scenario& s, Machine& m);
void PopupPlacementScenario(Scenario& s, Machine& m);
// Each also under a window manager ("_wm").
void PresetEditorsScenario(Scenario& s, Machine& m);
void PresetEditorsWmScenario(Scenario& s, Machine& m);
void WindowDragScenario(Scenario& s, Machine& m);
void WindowDragWmScenario(Scenario& s, Machine& m);

}  // namespace smoke
