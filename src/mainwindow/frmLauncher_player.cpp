// The main window's side of its player: the pane's Play, and what the player area asks of the
// window.
#include "inventory/abbreviatepath.h"
#include "mainwindow/frmLauncher.h"
#include "windows/skin.h"

void frmLauncher::btnPreset_Click(int Index) { player_->PlayPreset(Index); }

void frmLauncher::btnPlay_Click() {
  LauncherState& state = app_.launcher;
  const QString caption = pane_->btnPlay->Caption();
  try {
    player_->mpPlayer->SetFileName(pane_->db.gCurrentFilePath);
    player_->mpPlayer->Stop();
  } catch (const std::exception& failure) {
    if (caption == "Play") {
      player_->PlaybackFailed(failure);
      return;
    }
  }
  if (caption == "Play") {
    state.gStopRequested = false;
    pane_->btnPlay->SetBackColor(skin::kHighlight);
    pane_->btnPlay->SetForeColor(skin::kBack);
    pane_->lblDBStatus1->SetCaption("Playing/previewing file...");
    player_->lblPlayFilePath->SetCaption(
        QString::fromStdString(AbbreviatePath(pane_->txtDBDescription->toolTip().toStdString(), 50)));
    player_->lblPlayFileName->SetCaption(pane_->lblDBCaption->Caption());
    player_->lblDuration->SetCaption(pane_->lblDBLength->Caption());
    pane_->btnPlay->SetCaption("Stop");
    player_->PlayCurrentFile();
  } else if (caption == "Stop") {
    pane_->lblDBStatus1->SetCaption("Playback stopped");
    player_->mpPlayer->Stop();
    state.gStopRequested = true;
    player_->mpPlayer->SetCurrentPosition(player_->mpPlayer->Duration());
  }
}

void frmLauncher::FocusTree() { tree_->tvwGroups->setFocus(); }

void frmLauncher::PlaybackStarting() {
  pane_->btnUpdate->setEnabled(false);
  pane_->btnUpdate->hide();
  pane_->btnSelSearch->setEnabled(false);
  pane_->btnSelSearch->hide();
}

void frmLauncher::PlaybackReset() {
  if (pane_->btnPlay->isEnabled()) {
    pane_->btnPlay->SetBackColor(skin::kBack);
    pane_->btnPlay->SetForeColor(skin::kText);
    if (pane_->lblDBViewTitle->Caption() == "File Detail") {
      pane_->btnPlay->SetCaption("Play");
      pane_->lblDBStatus1->SetCaption("");
    } else {
      pane_->btnPlay->SetCaption("");
      pane_->btnPlay->setEnabled(false);
    }
  }
  pane_->btnSelSearch->setEnabled(true);
  pane_->btnSelSearch->show();
  pane_->btnUpdate->setEnabled(true);
  pane_->btnUpdate->show();
}

void frmLauncher::PlaybackStoppedByUser() {
  if (pane_->btnPlay->Caption() == "Stop") pane_->lblDBStatus1->SetCaption("Playback stopped");
}
