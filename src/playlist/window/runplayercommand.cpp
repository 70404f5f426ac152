// The playback state machine of the playlist window: one command at a time, the polling loop
// while a track plays, and the continuation to the next track.
#include <QPointer>

#include <exception>

#include "windows/skin.h"
#include "platform/core/errors.h"
#include "platform/core/mediaplayer.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "playback/driver.h"
#include "playlist/window/frmPlaylist.h"
#include "playlist/playerrules.h"
#include "playlist/window/playlist.h"
#include "playlist/playtime.h"

using namespace playlist_detail;
using platform::MediaPlayer;
using platform::Q;
using playerrules::Action;
using playerrules::Command;
using playerrules::Target;

namespace {

// The polling loop's wake-up: a smooth bar, and no core spent on waiting.
constexpr playback::Cadence kPollCadence{25, false};

bool StoppedState(int state) { return state == 0 || state > 2; }

}  // namespace

void PlaylistEditor::ShowInvalidDuration(frmPlaylist& w) {
  const PlaylistState& s = state;
  const std::string lf(platform::vbLf), cr(platform::vbCr);
  const int row = s.gCurrentTrack - 1;
  const std::string number = row >= 0 && row < w.grdListDetail->Rows() ? w.grdListDetail->TextMatrix(row, 0) : "";
  platform::MsgBox("The following file: " + lf + cr + lf + cr + number + " " + w.mpPlaylist->FileName() + lf + cr +
                       lf + cr + "has an invalid duration. It may be corrupted " + lf + cr +
                       "or be an invalid audio file type. " + lf + cr,
                   platform::vbExclamation, "Invalid audio file");
}

void PlaylistEditor::ShowElapsed(frmPlaylist& w, double position) {
  const PlaylistState& s = state;
  w.lblTrackTime->SetCaption(Q(FormatPlayTime(WholeSeconds(position))));
  w.lblTimeRemaining->SetCaption(
      Q(FormatPlayTime(WholeSeconds(static_cast<double>(s.gTotalSeconds) - (position + s.gPrevTracksSeconds)))));
}

// One command: the target, the player, the controls and labels, and the polling loop when the
// command starts one; the continuation is the caller's.
void PlaylistEditor::RunOneCommand(frmPlaylist& w, Command command) {
  PlaylistState& s = state;
  platform::FlexGrid& g = *w.grdListDetail;
  MediaPlayer& mp = *w.mpPlaylist;

  if (command.target != Target::Curr) {
    ColourTrackRow(g, s.gCurrentTrack - 1, skin::kText);
    s.gCurrentTrack = playerrules::MoveTarget(command.target, s.gCurrentTrack, g.Rows(),
                                              [&g](int r) { return !RowInvalid(g, r); }, s.gTargetRow);
    ColourTrackRow(g, s.gCurrentTrack - 1, kCurrentTrackColor);
  }
  const int r = s.gCurrentTrack - 1;
  g.SetTopRow(playerrules::ScrollTopRow(g.TopRow(), r));

  const std::string file = r >= 0 && r < g.Rows() ? g.TextMatrix(r, 4) : std::string();
  try {
    switch (command.action) {
      case Action::Load:
        mp.SetFileName(file);
        mp.Stop();
        break;
      case Action::LoadPaused:
        mp.SetFileName(file);
        mp.Pause();
        break;
      case Action::Play:
        mp.SetFileName(file);
        mp.Play();
        break;
      case Action::Pause:
        mp.Pause();
        break;
      case Action::Resume:
        mp.Play();
        break;
      case Action::Stop:
        mp.Stop();
        break;
      case Action::None:
        break;
    }
  } catch (const platform::VbError&) {
    // The file went away or broke since it was listed: say so; the player holds nothing now.
    ShowInvalidDuration(w);
  }

  int state = mp.PlayState();
  const bool editable = StoppedState(state);
  for (QWidget* c : std::initializer_list<QWidget*>{w.grdPlaylistInventory, w.btnNewList, w.btnSaveList,
                                                     w.btnDeleteList}) {
    c->setEnabled(editable);
  }
  s.gPrevTracksSeconds = DurationsUpTo(s.gCurrentTrack - 1);
  if (mp.Duration() > 0) w.pbrPlayFile->SetMax(mp.Duration());
  w.pbrPlaylist->SetMax(static_cast<double>(s.gTotalSeconds));
  const double position = mp.CurrentPosition();
  w.pbrPlaylist->SetValue(position > 0 ? position + s.gPrevTracksSeconds : s.gPrevTracksSeconds);
  w.lblTrack->SetCaption(QString::number(s.gCurrentTrack) + " ");
  w.lblTrackTime->SetCaption(Q(FormatPlayTime(WholeSeconds(position))));
  const double left = state == 0 ? static_cast<double>(s.gTotalSeconds) - s.gPrevTracksSeconds
                                 : static_cast<double>(s.gTotalSeconds) - (position + s.gPrevTracksSeconds);
  w.lblTimeRemaining->SetCaption(Q(FormatPlayTime(WholeSeconds(left))));
  if (state == 0) {
    w.lblPlayStatus->hide();
    w.lblPlayStatus->SetCaption("");
  } else if (state == 1) {
    w.lblPlayStatus->show();
    w.lblPlayStatus->SetCaption("Paused");
  } else if (state == 2) {
    w.lblPlayStatus->show();
    w.lblPlayStatus->SetCaption("Playing");
  }

  if (state == 2 && s.gPlayerLoopState == playback::LoopState::Idle) {
    QPointer<frmPlaylist> alive(&w);
    playback::LoopEnd end = playback::LoopEnd::Stopped;
    try {
      playback::Driver driver(mp, s.gPlayerLoopState, kPollCadence, platform::WaitEvents,
                              [&] { return !alive || w.Unloaded() || host.Exiting(); });
      while (driver.NextPass()) {
        const double at = driver.Position();
        w.pbrPlayFile->SetValue(at);
        w.pbrPlaylist->SetValue(at + s.gPrevTracksSeconds);
        ShowElapsed(w, at);
      }
      end = driver.End();
    } catch (const std::exception&) {
      return;  // the command ends here: no reset of the labels, no continuation
    }
    if (!alive) return;
    if (end == playback::LoopEnd::TrackEnded) {
      s.gTrackEnded = true;
    } else {
      w.lblTrackTime->SetCaption(kInvalidTrackTime);
      w.lblTimeRemaining->SetCaption(
          Q(FormatPlayTime(WholeSeconds(static_cast<double>(s.gTotalSeconds) - s.gPrevTracksSeconds))));
      w.pbrPlaylist->SetValue(s.gPrevTracksSeconds);
      s.gTrackEnded = false;
    }
    // Exit came while this loop ran: the window goes now, whichever handler started playing.
    if (s.gExitPending) {
      s.gExitPending = false;
      s.gTrackEnded = false;
      w.Unload();
    }
  }
  w.pbrPlayFile->SetValue(0);
}

void PlaylistEditor::RunPlayerCommand() {
  QPointer<frmPlaylist> w = WindowOrNull();
  if (!w) return;
  PlaylistState& s = state;
  // Taken once: a command nested in the polling loop sets its own.
  Command command = s.gPlayerCommand;
  // The continuation is a loop here, in the call that owned the polling, not a nested call.
  for (;;) {
    RunOneCommand(*w, command);
    const bool plays = command.action == Action::Play || command.action == Action::Resume;
    if (!w || w->Unloaded() || !(plays && s.gTrackEnded)) return;
    platform::FlexGrid& g = *w->grdListDetail;
    s.gTrackEnded = false;
    command = playerrules::ContinuationCommand(s.gCurrentTrack, g.Rows(), [&g](int r) { return !RowInvalid(g, r); });
    s.gPlayerCommand = command;
  }
}
