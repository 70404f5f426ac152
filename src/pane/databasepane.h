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
  // The Play button's handler, also run by a right-button release on a list row: the shown
  // file plays in the main window's player, or stops.
  virtual void btnPlay_Click() = 0;
  // The playlist editor opens on the pane's gCurrentPlaylistPath.
  virtual void OpenPlaylistWindow() = 0;
  // File Detail's Rallysets line: the presets and groups that hold the shown file.
  virtual void ShowFileRallysets() = 0;
  // While a note is edited the Tab key goes round the note boxes: the groups tree leaves the
  // Tab chain (`keep`), and comes back with the focus when the edit ends.
  virtual void KeepTabInNoteBoxes(bool keep) = 0;
  // The reconcile window stored a new orphan count: an open preferences window shows it.
  virtual void FillPreferencesForm() = 0;

 protected:
  ~PaneHost() = default;
};

// Runs a drag the pane starts (QDrag by default; tests put a recorder in its place).
using DragStarter = std::function<void(QWidget* source, QMimeData* data, Qt::DropActions allowed)>;
void SetDragStarter(DragStarter starter);

// The main window's database pane (module DBViewer): its tabs and buttons, the views it
// draws (System Inventory, Inventory Detail, Drive Detail, File Detail with the note, the
// search and its Result view), the inventory update, the database report, and module
// ReconcileDB, whose window it opens. It owns its controls and its state.
class DatabasePane : public QWidget {
  Q_OBJECT
 public:
  // `player` is the main window's: the analysis of a shown file loads it there. `openFilter`
  // is the program's file-dialog filter, filled by the main window's load.
  DatabasePane(QWidget* parent, PaneHost& host, platform::MediaPlayer& player, Declarations& decl,
               DataFileIO& io, const std::string& openFilter);
  ~DatabasePane() override;

  DBViewerState db;
  ReconcileDB& Reconcile() { return reconcile_; }
  bool PaneBusy() const { return db.PaneBusy(); }

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

  // ---- Controls
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

 private:
  void Build();
  void Wire();
  platform::Label* PaneLabel(int x, int y, int w, const QString& caption = {});

  // Shared steps of the views (their sources lie beside this one).
  void StartView(const char* title);
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

  PaneHost& host_;
  platform::MediaPlayer& player_;
  Declarations& decl_;
  DataFileIO& io_;
  ReconcileDB reconcile_;
};
