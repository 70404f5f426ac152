#pragma once

#include <QWidget>
#include <QtCore/qnamespace.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pane/dbviewer.h"
#include "pane/reconciledb.h"
#include "inventory/searchresult.h"
#include "platform/qt/controls.h"

class QMimeData;
struct Declarations;
struct DataFileIO;

namespace platform {
class FlexGrid;
class MediaPlayer;
}  // namespace platform

namespace datafiles {
class UserDBIndex;
}

// What the pane asks of the window it lies in.
class PaneHost {
 public:
  // The Play button, also a right-button release on a list row: the shown file plays in the
  // main window's player, or stops.
  virtual void PlayOrStopShownFile() = 0;
  // The playlist editor opens on the pane's gCurrentPlaylistPath.
  virtual void OpenPlaylistWindow() = 0;
  // File Detail's Rallysets line: the presets and groups that hold the shown file.
  virtual void ShowFileRallysets() = 0;
  // While a note is edited the Tab key goes round the note boxes: the groups tree leaves the
  // Tab chain (`keep`), and comes back with the focus when the edit ends.
  virtual void KeepTabInNoteBoxes(bool keep) = 0;
  // The reconcile window stored a new orphan count: an open preferences window shows it.
  virtual void OrphanCountChanged() = 0;

 protected:
  ~PaneHost() = default;
};

// The pane's controls. Only the pane works them (tests look at them as its friend).
struct DatabasePaneControls {
  platform::LabelButton* btnSelInventory;
  platform::LabelButton* btnSelDetail;
  platform::LabelButton* btnSelSearch;
  platform::LabelButton* btnUpdate;
  platform::LabelButton* btnPrint;
  platform::LabelButton* btnPlay;  // its click is the host's
  platform::Label* lblDBViewTitle;
  platform::TextBox* txtDBDescription;
  platform::FlexGrid* grdTotals = nullptr;
  platform::Label* lblDBFileCover;
  platform::Label* lblDBStatus1;
  platform::Label* lblDBStatus2;
  platform::Label* lblDBSearchTextLabel;
  platform::TextBox* txtDBSearchText;
  // The note: stored values, their edit boxes and caption labels.
  platform::Label* lblDBCaptionLabel;
  platform::Label* lblDBSubjectLabel;
  platform::Label* lblDBProjectLabel;
  platform::Label* lblDBKeywordsLabel;
  platform::Label* lblDBPlayersLabel;
  platform::Label* lblDBCaption;
  platform::Label* lblDBSubject;
  platform::Label* lblDBProject;
  platform::Label* lblDBKeywords;
  platform::Label* lblDBPlayers;
  platform::TextBox* txtDBCaption;
  platform::TextBox* txtDBSubject;
  platform::TextBox* txtDBProject;
  platform::TextBox* txtDBKeywords;
  platform::TextBox* txtDBPlayers;
  platform::Label* lblDBRallysetsLabel;
  platform::Label* lblDBRallysets;
  // The file's header analysis and play length.
  platform::Label* lblDBFileType;
  platform::Label* lblDBFormatVersion;
  platform::Label* lblDBName;
  platform::Label* lblDBCreationDate;
  platform::Label* lblDBEngineer;
  platform::Label* lblDBCopyright;
  platform::Label* lblDBComment;
  platform::Label* lblDBLength;
  platform::Label* lblDBChannels;
  platform::Label* lblDBEncoding;
  platform::Label* lblDBArtist;
  platform::Label* lblDBAlbum;
  platform::Label* lblDBYear;
  platform::Label* lblDBGenre;

};

// The pane's title on show; its caption is written from it.
enum class PaneTitle { None, SystemInventory, InventoryDetail, DriveDetail, FileDetail, SearchInventory };
// Search entry open, or the note of File Detail being edited; the Update tab's caption follows.
enum class PaneMode { Browse, SearchEntry, NoteEdit };
// The Play button: taken away, offering to play the shown file, or stopping its playback.
enum class PlayState { Away, Play, Stop };

class PaneTestAccess;

// Runs a drag the pane starts (QDrag by default; tests put a recorder in its place).
using DragStarter = std::function<void(QWidget* source, QMimeData* data, Qt::DropActions allowed)>;
void SetDragStarter(DragStarter starter);

// The main window's database pane (module DBViewer): its tabs and buttons, the views it
// draws (System Inventory, Inventory Detail, Drive Detail, File Detail with the note, the
// search and its Result view), the inventory update, the database report, and module
// ReconcileDB, whose window it opens. It owns its controls and its state.
class DatabasePane : public QWidget, private DatabasePaneControls {
  Q_OBJECT
 public:
  // `player` is the main window's: the analysis of a shown file loads it there. `openFilter`
  // is the program's file-dialog filter, filled by the main window's load.
  DatabasePane(QWidget* parent, PaneHost& host, platform::MediaPlayer& player, Declarations& decl,
               DataFileIO& io, const std::string& openFilter);
  ~DatabasePane() override;

  ReconcileDB& Reconcile() { return reconcile_; }
  bool PaneBusy() const { return db.PaneBusy(); }

  // ---- What the rest of the window asks of the pane.
  bool ShowsFileDetail() const { return title_ == PaneTitle::FileDetail; }
  bool EditsNote() const { return mode_ == PaneMode::NoteEdit; }
  // The file File Detail shows (the last one opened from a list).
  const std::string& ShownFilePath() const { return db.gCurrentFilePath; }
  // What the player shows of that file while it plays.
  struct ShownFile {
    std::string path;       // as stored
    std::string shownPath;  // as the description's tip holds it
    QString caption;
    QString length;
  };
  ShownFile FileOnShow() const;
  // The Play button offers the shown file, or its playback runs.
  bool OffersPlay() const { return play_ == PlayState::Play; }
  bool PlaysShownFile() const { return play_ == PlayState::Stop; }
  // The shown file's playback started, or was stopped from the Play button.
  void ShowPlaying();
  void ShowPlaybackStopped();
  // A playback of the player runs: Update and Search wait for its end.
  void ShowBusyForPlayback();
  // The playback ended: Play offers the shown file again (only in File Detail), Update and Search return.
  void ShowPlaybackOver();
  // The player area's Stop ended the pane's playback.
  void ShowStoppedByPlayer();
  // File Detail's Rallysets line, from the shown file's path as the description's tip holds it;
  // nothing in another view.
  void ShowFileRallysets(const std::function<std::string(const std::string& shownPath)>& rallysets);
  // Before a rescan of the drives: search entry closes, an edited note ends through its question,
  // and the System Inventory view comes up. False when the note edit goes on.
  bool ShowInventoryForRescan();
  // The playlist the playlist editor has open, shared with the lists that hand it one.
  const std::string& CurrentPlaylistPath() const { return db.gCurrentPlaylistPath; }
  void SetCurrentPlaylistPath(std::string path) { db.gCurrentPlaylistPath = std::move(path); }
  // A playlist file was saved or deleted: inventory.dat and the counts follow (an inventory
  // missing is rebuilt first), and a System Inventory or a list of playlists on show is drawn
  // again by RedrawAfterPlaylistChange.
  datafiles::InventoryChange AddToInventory(const std::string& path);
  datafiles::InventoryChange RemoveFromInventory(const std::string& path, const std::string& shown);
  void RedrawAfterPlaylistChange();

  // ---- The views and their procedures.
  // The label-buttons get the hand pointer (icon 205); once, by the main window's load.
  void SetDBPaneLinkCursors();
  // The System Inventory view; runs the inventory update when the summary is missing or the
  // drives changed.
  void ShowSystemInventory();
  // Rescans every drive, shows the counts, rewrites inventory.dat and invsum.dat, then looks
  // for orphaned notes and offers to reconcile them. Also the rebuild of a missing inventory.
  void UpdateInventory();
  // A click in the System Inventory grid at its current cell: a count lists those files, a
  // drive cell shows the drive.
  void OnTotalsGridClick();
  // The Inventory Detail list of gTypeFilter files on gSelectedDrive (all drives when empty).
  void ShowInventoryDetail();
  // The note mark of list row gListRow, whose file's full path is `path`, from `notes`
  // (userdb.dat read once for the whole list).
  void MarkUserDBRowInGrid(const datafiles::UserDBIndex& notes, std::string_view path);
  // The Drive Detail view of gSelectedDrive.
  void ShowDriveDetail();
  // The file of the grid's current row in a list: a playlist goes to the playlist editor, any
  // other file is analysed and shown in File Detail. Rows that hold no file (the header, the
  // no-match row) open nothing. True when File Detail now shows the file.
  bool OpenListedFile();
  // The File Detail view of gCurrentFilePath, analysed into `audio` and loaded in the player.
  void ShowFileDetail();
  // Empties the five note boxes of the edit mode.
  void ClearUserDBFields();
  // The keyword search of the phrases in txtDBSearchText, by the search options; its result
  // is listed and kept in result.dat. Always ends with the pane in the Result view.
  void SearchDatabase();
  // The last search result again, from result.dat.
  void ShowPreviousSearchResult();
  // While search entry is open: the "Include:" line of the search options in force.
  void ShowSearchIncludeLine();
  // Closes search entry without searching and puts the pane back as it was.
  void RestoreDBPaneState();
  // Enters the note edit mode of File Detail, or leaves it through its save question.
  void ToggleDBEditMode();

  // ---- Handlers. Each ignores the user while the pane's long work runs (PaneBusy).
  void btnSelInventory_Click();
  void btnSelDetail_Click();
  // "Erase All" in the note edit mode; otherwise the first click opens search entry and the
  // second one searches.
  void btnSelSearch_Click();
  void btnUpdate_Click();
  // Prints the view on show.
  void btnPrint_Click();
  // Button 1 left, 2 right (MouseMove: the buttons held); X and Y in twips.
  void grdTotals_MouseDown(int Button, int Shift, int X, int Y);
  void grdTotals_MouseMove(int Button, int Shift, int X, int Y);
  void grdTotals_MouseUp(int Button, int Shift, int X, int Y);
  // The five note boxes share their handlers: the edit look while a box has the focus or is
  // double-clicked, and on leaving it the rest look, its text red when it differs from its
  // label's caption.
  void txtDBNote_GotFocus(platform::TextBox* box);
  void txtDBNote_DblClick(platform::TextBox* box);
  void txtDBNote_LostFocus(platform::TextBox* box, const platform::Label* label);
  // The width in bytes of a note box's field (15, 44, 15, 44, 70); the box takes no more.
  int NoteFieldWidth(const platform::TextBox* box) const;
  // The drag of the shown file's full path out of the description line, in File Detail only
  // and with the left button alone.
  void txtDBDescription_MouseMove(int Button, int Shift, int X, int Y);
  // The data of that drag: the path as text, in the host's form; a target may only copy it.
  void txtDBDescription_OLEStartDrag(QMimeData& Data, Qt::DropActions& AllowedEffects);

 private:
  friend class PaneTestAccess;

  void Build();
  void Wire();
  platform::Label* PaneLabel(int x, int y, int w, const QString& caption = {});

  // Shared steps of the views (their sources lie beside this one).
  void StartView(PaneTitle title);
  void ReleasePlayButton();
  void DrawSystemInventoryLayout(bool readDrives);
  void OfferReconcile(std::int64_t orphans);
  void LayOutResultGrid();
  std::int64_t ShowResultRows(std::vector<inventory::SearchHit> rows, const datafiles::UserDBIndex& notes);
  void ShowNoMatchRow();
  void FinishResultView(const std::string& status, std::int64_t listed);
  void EnterEditMode();
  void LeaveEditMode();
  bool StoreNote();

  void SetTitle(PaneTitle title);
  void SetMode(PaneMode mode);
  void SetPlayButton(PlayState state);
  // The line under the title; whether it names playlists is noted as it is written.
  void SetDescription(const QString& text);

  DBViewerState db;
  PaneTitle title_ = PaneTitle::None;
  PaneTitle savedTitle_ = PaneTitle::None;  // put back with gSavedViewTitle
  PaneMode mode_ = PaneMode::Browse;
  PlayState play_ = PlayState::Play;
  bool descriptionNamesPlaylists_ = false;  // the line holds "m3u": a list of them, or a search
  PaneHost& host_;
  platform::MediaPlayer& player_;
  Declarations& decl_;
  DataFileIO& io_;
  ReconcileDB reconcile_;
};
