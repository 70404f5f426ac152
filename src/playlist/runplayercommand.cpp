// The playback state machine of the playlist window: one command at a time, the polling loop
// while a track plays, and the continuation to the next track.
#include <QPointer>

#include <exception>

#include "mainwindow/frmLauncher.h"
#include "mainwindow/skin.h"
#include "platform/core/errors.h"
#include "platform/core/mediaplayer.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "playback/driver.h"
#include "playlist/frmPlaylist.h"
#include "playlist/playerrules.h"
#include "playlist/playlist.h"
#include "playlist/playtime.h"

using namespace playlist_detail;
using platform::MediaPlayer;
using platform::Q;

namespace {

// The polling loop's wake-up: a smooth bar, and no core spent on waiting.
constexpr playback::Cadence kPollCadence{25, false};

bool StoppedState(int state) { return state == 0 || state > 2; }

void ShowInvalidDuration(frmPlaylist& w) {
  const PlaylistState& s = PlaylistModule();
  const std::string lf(platform::vbLf), cr(platform::vbCr);
  const int row = s.gCurrentTrack - 1;
  const std::string number = row >= 0 && row < w.grdListDetail->Rows() ? w.grdListDetail->TextMatrix(row, 0) : "";
  platform::MsgBox("The following file: " + lf + cr + lf + cr + number + " " + w.mpPlaylist->FileName() + lf + cr +
                       lf + cr + "has an invalid duration. It may be corrupted " + lf + cr +
                       "or be an invalid audio file type. " + lf + cr,
                   platform::vbExclamation, "Invalid audio file");
}

void ShowElapsed(frmPlaylist& w, double position) {
  const PlaylistState& s = PlaylistModule();
  w.lblTrackTime->SetCaption(Q(FormatPlayTime(WholeSeconds(position))));
  w.lblTimeRemaining->SetCaption(
      Q(FormatPlayTime(WholeSeconds(static_cast<double>(s.gTotalSeconds) - (position + s.gPrevTracksSeconds)))));
}

bool AppExiting() {
  const frmLauncher* f = MainWindowOrNull();
  return f && f->isExiting();
}

// Steps 1 to 11 of one command.
void RunOneCommand(frmPlaylist& w) {
  PlaylistState& s = PlaylistModule();
  platform::FlexGrid& g = *w.grdListDetail;
  MediaPlayer& mp = *w.mpPlaylist;
  const std::string action = s.gPlayerCommand.substr(0, 4);
  const std::string target = s.gPlayerCommand.size() > 4 ? s.gPlayerCommand.substr(4, 4) : std::string();

  if (target != "Curr") {
    ColourTrackRow(g, s.gCurrentTrack - 1, skin::kText);
    s.gCurrentTrack = playerrules::MoveTarget(target, s.gCurrentTrack, g.Rows(),
                                              [&g](int r) { return !RowInvalid(g, r); }, s.gTargetRow);
    ColourTrackRow(g, s.gCurrentTrack - 1, kCurrentTrackColor);
  }
  const int r = s.gCurrentTrack - 1;
  g.SetTopRow(playerrules::ScrollTopRow(g.TopRow(), r));

  const std::string file = r >= 0 && r < g.Rows() ? g.TextMatrix(r, 4) : std::string();
  try {
    if (action == "Load") {
      mp.SetFileName(file);
      mp.Stop();
    } else if (action == "Lodp") {
      mp.SetFileName(file);
      mp.Pause();
    } else if (action == "Play") {
      mp.SetFileName(file);
      mp.Play();
    } else if (action == "Paus") {
      mp.Pause();
    } else if (action == "Resu") {
      mp.Play();
    } else if (action == "Stop") {
      mp.Stop();
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
                              [&] { return !alive || w.Unloaded() || AppExiting(); });
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

}  // namespace

void RunPlayerCommand() {
  QPointer<frmPlaylist> w = PlaylistWindowOrNull();
  if (!w) return;
  PlaylistState& s = PlaylistModule();
  // The continuation is a loop here, in the call that owned the polling, not a nested call.
  for (;;) {
    const std::string action = s.gPlayerCommand.substr(0, 4);
    RunOneCommand(*w);
    if (!w || w->Unloaded() || !((action == "Play" || action == "Resu") && s.gTrackEnded)) return;
    platform::FlexGrid& g = *w->grdListDetail;
    s.gTrackEnded = false;
    s.gPlayerCommand =
        playerrules::ContinuationCommand(s.gCurrentTrack, g.Rows(), [&g](int r) { return !RowInvalid(g, r); });
  }
}
