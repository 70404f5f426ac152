// The File Detail view: one listed file with its header analysis, playing time, note and
// memberships.
#include "analysis/analyzer.h"
#include "datafiles/userdb.h"
#include "inventory/abbreviatepath.h"
#include "inventory/dbviewer.h"
#include "inventory/paneparts.h"
#include "main/declarations.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "windows/skin.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/qt/grid.h"

using namespace pane;

namespace {

void SetNoteLabels(frmLauncher& f, const datafiles::UserDBNote& note) {
  f.lblDBCaption->SetCaption(Q(note.Caption));
  f.lblDBSubject->SetCaption(Q(note.Subject));
  f.lblDBProject->SetCaption(Q(note.Project));
  f.lblDBKeywords->SetCaption(Q(note.Keywords));
  f.lblDBPlayers->SetCaption(Q(note.Players));
}

}  // namespace

bool OpenListedFile() {
  frmLauncher& f = MainWindow();
  DBViewerState& db = App().db;
  platform::FlexGrid& g = *f.grdTotals;
  const int row = g.Row();
  // The header row holds the column titles, not a file.
  if (row < g.FixedRows() || row >= g.Rows() || g.Cols() < 4) return false;
  const std::string drive = g.TextMatrix(row, 1);
  const std::string shown = g.TextMatrix(row, 2);
  const std::string path = g.TextMatrix(row, 3);
  if (shown.size() >= 4 && platform::LowerCase(std::string_view(shown).substr(shown.size() - 4)) == ".m3u") {
    db.gCurrentPlaylistPath = drive + path;
    OpenPlaylistWindow();
    return false;
  }
  // A row without a drive is no file: the no-match row, after a search or read back.
  if (platform::Trim(drive).empty()) return false;
  db.gRestoreRow = row;
  db.gCurrentFilePath = drive + path;
  const analysis::AnalysisStatus status = analysis::AnalyzeAudioFile(db.gCurrentFilePath, db.audio, f.mpPlayer);
  db.gPlayerHoldsShownFile = status == analysis::AnalysisStatus::Done;
  ShowFileDetail();
  return true;
}

void ShowFileDetail() {
  frmLauncher& f = MainWindow();
  ProgramState& app = App();
  DBViewerState& db = app.db;
  analysis::AudioProperties& a = db.audio;
  db.gPrevViewMode = db.gViewMode;
  f.grdTotals->SetVisible(false);
  f.lblDBFileCover->hide();
  f.lblDBViewTitle->SetCaption("File Detail");
  f.txtDBDescription->setText(Q(AbbreviatePath(db.gCurrentFilePath, 40)));
  f.txtDBDescription->setToolTip(Q(db.gCurrentFilePath));
  f.lblDBStatus1->SetCaption("");
  f.lblDBStatus2->SetCaption("");
  for (platform::Label* l : {f.lblDBCaption, f.lblDBSubject, f.lblDBProject, f.lblDBKeywords, f.lblDBPlayers,
                             f.lblDBRallysets}) {
    l->show();
  }
  skin::AtRest(f.btnPlay);
  f.btnPlay->SetCaption("Play");
  f.btnPlay->setEnabled(true);
  db.gViewMode = "File";

  const datafiles::UserDBLookup lookup = datafiles::ShowUserDBRecord(db.userdb, app.decl.files, db.gCurrentFilePath);
  if (lookup.found) {
    SetNoteLabels(f, lookup.note);
  } else {
    SetNoteLabels(f, {});
    f.lblDBRallysets->SetCaption("");
  }
  ShowFileRallysets();

  if (a.gAudioFileLength < 13) {
    f.lblDBStatus1->SetCaption(Q("File length: " + std::to_string(a.gAudioFileLength) + " bytes"));
    f.lblDBStatus2->SetCaption("This is not a valid audio file");
  }
  f.lblDBFileType->SetCaption(Q(a.gAudioFileType));
  f.lblDBName->SetCaption(Q(a.gAudioName));
  f.lblDBFormatVersion->SetCaption(Q(a.gAudioFormatVersion));
  f.lblDBCreationDate->SetCaption(Q(a.gAudioCreationDate));
  f.lblDBEngineer->SetCaption(Q(a.gAudioEngineer));
  f.lblDBCopyright->SetCaption(Q(a.gAudioCopyright));
  f.lblDBComment->SetCaption(Q(a.gAudioComment));

  // The player holds this file only when the analysis loaded it; a refusal it reports late
  // (at the first reading of the duration) is a length of 0 as well.
  LauncherState& launcher = app.launcher;
  launcher.gPlayHours = 0;
  launcher.gPlayMinutes = 0;
  launcher.gPlaySeconds = 0;
  if (db.gPlayerHoldsShownFile) {
    try {
      SplitPlayDuration();
    } catch (const platform::VbError&) {
      launcher.gPlayHours = 0;
      launcher.gPlayMinutes = 0;
      launcher.gPlaySeconds = 0;
    }
  }
  f.lblDBLength->SetCaption(
      Q(PlayDurationText(launcher.gPlayHours, launcher.gPlayMinutes, launcher.gPlaySeconds)));
  f.lblDBChannels->SetCaption(Q(a.gAudioChannels));
  for (std::string* t : {&a.gAudioSampleRate, &a.gAudioBits, &a.gAudioEncoding}) {
    if (t->empty()) *t = "n/a";
  }
  f.lblDBEncoding->SetCaption(Q(a.gAudioSampleRate + ", " + a.gAudioBits + ", " + a.gAudioEncoding));
  f.lblDBArtist->SetCaption(Q(a.gAudioArtist));
  f.lblDBAlbum->SetCaption(Q(a.gAudioAlbum));
  f.lblDBYear->SetCaption(Q(a.gAudioYear));
  f.lblDBGenre->SetCaption(Q(a.gAudioGenre));
}
