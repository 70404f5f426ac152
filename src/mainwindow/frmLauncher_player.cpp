// The main window's side of its player: the pane's Play, and what the player area asks of the
// window.
#include "inventory/abbreviatepath.h"
#include "mainwindow/frmLauncher.h"

void frmLauncher::btnPreset_Click(int Index) { PlayPreset(Index); }

void frmLauncher::PlayPreset(int Index) { player_->PlayPreset(Index); }

void frmLauncher::PlayOrStopShownFile() {
  const bool play = pane_->OffersPlay(), stop = pane_->PlaysShownFile();
  const DatabasePane::ShownFile shown = pane_->FileOnShow();
  try {
    player_->LoadFile(shown.path);
  } catch (const std::exception& failure) {
    if (play) {
      player_->PlaybackFailed(failure);
      return;
    }
  }
  if (play) {
    pane_->ShowPlaying();
    player_->PlayLoadedFile(QString::fromStdString(AbbreviatePath(shown.shownPath, 50)), shown.caption, shown.length);
  } else if (stop) {
    pane_->ShowPlaybackStopped();
    player_->StopQuietly();
  }
}

void frmLauncher::FocusTree() { tree_->Focus(); }

void frmLauncher::PlaybackStarting() { pane_->ShowBusyForPlayback(); }

void frmLauncher::PlaybackReset() { pane_->ShowPlaybackOver(); }

void frmLauncher::PlaybackStoppedByUser() { pane_->ShowStoppedByPlayer(); }
