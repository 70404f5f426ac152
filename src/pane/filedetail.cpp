// The File Detail view: one listed file with its header analysis, playing time, note and
// memberships.
#include "analysis/analyzer.h"
#include "datafiles/userdb.h"
#include "inventory/abbreviatepath.h"
#include "pane/databasepane.h"
#include "windows/skin.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/mediaplayer.h"
#include "platform/qt/grid.h"
#include "windows/playduration.h"
#include "windows/shareddata.h"

using platform::Q;

namespace {

void SetNoteLabels(DatabasePaneControls& p, const datafiles::UserDBNote& note) {
  p.lblDBCaption->SetCaption(Q(note.Caption));
  p.lblDBSubject->SetCaption(Q(note.Subject));
  p.lblDBProject->SetCaption(Q(note.Project));
  p.lblDBKeywords->SetCaption(Q(note.Keywords));
  p.lblDBPlayers->SetCaption(Q(note.Players));
}

}  // namespace

bool DatabasePane::OpenListedFile() {
  platform::FlexGrid& g = *grdTotals;
  const int row = g.Row();
  // The header row holds the column titles, not a file.
  if (row < g.FixedRows() || row >= g.Rows() || g.Cols() < 4) return false;
  const std::string drive = g.TextMatrix(row, 1);
  const std::string shown = g.TextMatrix(row, 2);
  const std::string path = g.TextMatrix(row, 3);
  if (shown.size() >= 4 && platform::LowerCase(std::string_view(shown).substr(shown.size() - 4)) == ".m3u") {
    db.gCurrentPlaylistPath = drive + path;
    host_.OpenPlaylistWindow();
    return false;
  }
  // A row without a drive is no file: the no-match row, after a search or read back.
  if (platform::Trim(drive).empty()) return false;
  db.gRestoreRow = row;
  db.gCurrentFilePath = drive + path;
  const analysis::AnalysisStatus status = analysis::AnalyzeAudioFile(db.gCurrentFilePath, db.audio, &player_);
  db.gPlayerHoldsShownFile = status == analysis::AnalysisStatus::Done;
  ShowFileDetail();
  return true;
}

void DatabasePane::ShowFileDetail() {
  analysis::AudioProperties& a = db.audio;
  db.gPrevViewMode = db.gViewMode;
  grdTotals->SetVisible(false);
  lblDBFileCover->hide();
  SetTitle(PaneTitle::FileDetail);
  SetDescription(Q(AbbreviatePath(db.gCurrentFilePath, 40)));
  txtDBDescription->setToolTip(Q(db.gCurrentFilePath));
  lblDBStatus1->SetCaption("");
  lblDBStatus2->SetCaption("");
  for (platform::Label* l : {lblDBCaption, lblDBSubject, lblDBProject, lblDBKeywords, lblDBPlayers,
                             lblDBRallysets}) {
    l->show();
  }
  skin::AtRest(btnPlay);
  SetPlayButton(PlayState::Play);
  btnPlay->setEnabled(true);
  db.gViewMode = DBView::File;

  const datafiles::UserDBLookup lookup = datafiles::ShowUserDBRecord(db.userdb, decl_.files, db.gCurrentFilePath);
  if (lookup.found) {
    SetNoteLabels(*this, lookup.note);
  } else {
    SetNoteLabels(*this, {});
    lblDBRallysets->SetCaption("");
  }
  host_.ShowFileRallysets();

  if (a.gAudioFileLength < 13) {
    lblDBStatus1->SetCaption(Q("File length: " + std::to_string(a.gAudioFileLength) + " bytes"));
    lblDBStatus2->SetCaption("This is not a valid audio file");
  }
  lblDBFileType->SetCaption(Q(a.gAudioFileType));
  lblDBName->SetCaption(Q(a.gAudioName));
  lblDBFormatVersion->SetCaption(Q(a.gAudioFormatVersion));
  lblDBCreationDate->SetCaption(Q(a.gAudioCreationDate));
  lblDBEngineer->SetCaption(Q(a.gAudioEngineer));
  lblDBCopyright->SetCaption(Q(a.gAudioCopyright));
  lblDBComment->SetCaption(Q(a.gAudioComment));

  // The player holds this file only when the analysis loaded it; a refusal it reports late
  // (at the first reading of the duration) is a length of 0 as well.
  PlayDuration length;
  if (db.gPlayerHoldsShownFile) {
    try {
      length = SplitDuration(player_.Duration());
    } catch (const platform::VbError&) {
      length = {};
    }
  }
  lblDBLength->SetCaption(Q(PlayDurationText(length.hours, length.minutes, length.seconds)));
  lblDBChannels->SetCaption(Q(a.gAudioChannels));
  for (std::string* t : {&a.gAudioSampleRate, &a.gAudioBits, &a.gAudioEncoding}) {
    if (t->empty()) *t = "n/a";
  }
  lblDBEncoding->SetCaption(Q(a.gAudioSampleRate + ", " + a.gAudioBits + ", " + a.gAudioEncoding));
  lblDBArtist->SetCaption(Q(a.gAudioArtist));
  lblDBAlbum->SetCaption(Q(a.gAudioAlbum));
  lblDBYear->SetCaption(Q(a.gAudioYear));
  lblDBGenre->SetCaption(Q(a.gAudioGenre));
}
