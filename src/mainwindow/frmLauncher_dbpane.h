#pragma once

// Handlers of the main window's database pane: its tabs, Update and the grid's mouse. Each
// ignores the user while the pane's long work runs (DBViewerState::PaneBusy).
void frmLauncher_btnSelInventory_Click();
void frmLauncher_btnSelDetail_Click();
void frmLauncher_btnUpdate_Click();
// Button 1 left, 2 right; X and Y in twips.
void frmLauncher_grdTotals_MouseUp(int Button, int Shift, int X, int Y);
