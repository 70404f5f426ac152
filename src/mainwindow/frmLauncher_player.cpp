// The main window's side of its player: the pane's Play, and what the player area asks of the
// window.
#include "inventory/abbreviatepath.h"
#include "mainwindow/frmLauncher.h"

void frmLauncher::btnPreset_Click(int Index) { player_->PlayPreset(Index); }

void frmLauncher::PlayOrStopShownFile() {
  LauncherState& state = app_.launcher;
  const bool play = pane_->OffersPlay(), stop = pane_->PlaysShownFile();
  const DatabasePane::ShownFile shown = pane_->FileOnShow();
  try {
    player_->mpPlayer->SetFileName(shown.path);
    player_->mpPlayer->Stop();
  } catch (const std::exception& failure) {
    if (play) {
      player_->PlaybackFailed(failure);
      return;
    }
  }
  if (play) {
    state.gStopRequested = false;
    pane_->ShowPlaying();
    player_->lblPlayFilePath->SetCaption(QString::fromStdString(AbbreviatePath(shown.shownPath, 50)));
    player_->lblPlayFileName->SetCaption(shown.caption);
    player_->lblDuration->SetCaption(shown.length);
    player_->PlayCurrentFile();
  } else if (stop) {
    pane_->ShowPlaybackStopped();
    player_->mpPlayer->Stop();
    state.gStopRequested = true;
    player_->mpPlayer->SetCurrentPosition(player_->mpPlayer->Duration());
  }
}

void frmLauncher::FocusTree() { tree_->Focus(); }

void frmLauncher::PlaybackStarting() { pane_->ShowBusyForPlayback(); }

void frmLauncher::PlaybackReset() { pane_->ShowPlaybackOver(); }

void frmLauncher::PlaybackStoppedByUser() { pane_->ShowStoppedByPlayer(); }
