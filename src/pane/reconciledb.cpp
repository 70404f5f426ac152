// Module ReconcileDB's procedures over the program's state and the reconcile window.
#include <algorithm>
#include <unordered_set>

#include "inventory/abbreviatepath.h"
#include "pane/frmReconcileDB.h"
#include "inventory/orphans.h"
#include "pane/reconciledb.h"
#include "inventory/reconcilelogic.h"
#include "windows/messages.h"
#include "windows/shareddata.h"
#include "windows/skin.h"
#include "platform/core/codepage.h"
#include "platform/core/errors.h"
#include "platform/core/files.h"
#include "platform/core/msgbox.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "platform/qt/resources.h"

namespace {

constexpr int kOrphanRowsLimit = 8, kOrphanListHeight = 1940;
constexpr int kMatchRowsLimit = 13, kMatchListHeight = 3245;

using platform::Q;

std::string ListRow(const std::string& path) { return AbbreviatePath(path, 50) + "\t" + path; }

// Pointer, current cell and the two columns: the shortened path and the hidden full path.
void PrepareList(platform::FlexGrid& g) {
  g.SetMousePointer(99);
  g.SetMouseIcon(platform::LoadResCursor(skin::kHandIcon));
  if (g.Rows() > 0) {
    g.SetRow(0);
    g.SetCol(0);
    g.SetColSel(0);
  }
  g.SetColWidth(0, 4640);
  g.SetColWidth(1, 0);
}

// Row `row` becomes the placeholder of an empty orphan list, not shown as chosen.
void MakePlaceholder(platform::FlexGrid& g, int row) {
  g.SetTextMatrix(row, 0, kNoOrphansFound);
  g.SetTextMatrix(row, 1, "");
  g.SetRow(row);
  g.SetCol(0);
  g.SetCellBackColor(0);
  g.SetCellForeColor(0);
}

std::string CurrentOrphan(const platform::FlexGrid& g) { return g.Rows() == 0 ? std::string() : g.TextMatrix(g.Row(), 1); }

}  // namespace

ReconcileDB::ReconcileDB(Declarations& decl, DataFileIO& io, datafiles::UserDBState& userdb,
                         const std::string& openFilter, PaneHost& host, QWidget* owner)
    : decl(decl), io(io), openFilter(openFilter), host(host), userdb_(userdb), owner_(owner) {}

ReconcileDB::~ReconcileDB() { delete window_.data(); }

frmReconcileDB* ReconcileDB::WindowOrNull() const { return window_.data(); }

frmReconcileDB& ReconcileDB::Window() {
  if (!window_) {
    window_ = new frmReconcileDB(*this, owner_ ? owner_->window() : nullptr);
    window_->Form_Load();
  }
  return *window_;
}

void ReconcileDB::FindOrphanedRecords() {
  // Without userdb.dat there is nothing to search, and nothing shows that a search ran.
  if (!platform::FileLen(decl.files.gUserDBFile).ok()) return;
  Window().SetStatus(frmReconcileDB::Status::Scanning);
  platform::DoEvents();
  messages::ShowSaveOutcome(inventory::FindOrphanedRecords(decl.files, io.prefs, state).prefsSave);
  if (frmReconcileDB* w = WindowOrNull()) w->SetStatus(frmReconcileDB::Status::Idle);
}

void ReconcileDB::OpenReconcileWindow() {
  FillOrphansGrid();
  InitMatchesGrid();
  platform::SetScreenPointer(0);
  frmReconcileDB& w = Window();
  if (w.isVisible()) return;
  // The dialog starts in the browse folder as the preferences hold it now.
  w.browseInitDir = io.prefs.gBrowsePath;
  w.exec();
  // Unloaded: the next opening loads and fills a new window.
  delete &w;
}

void ReconcileDB::FillOrphansGrid() {
  platform::FlexGrid& g = *Window().grdOrphans;
  PrepareList(g);
  g.SetRows(0);
  const auto count = static_cast<std::size_t>(
      std::clamp<std::int64_t>(state.gOrphanRecordCount, 0, static_cast<std::int64_t>(state.gOrphanPaths.size())));
  for (std::size_t i = 0; i < count; ++i) {
    g.AddItem(ListRow(state.gOrphanPaths[i]));
    frmReconcileDB::SizeGrid(g, kOrphanRowsLimit, kOrphanListHeight);
  }
  if (count == 0) {
    g.AddItem(std::string(kNoOrphansFound) + "\t");
    frmReconcileDB::SizeGrid(g, kOrphanRowsLimit, kOrphanListHeight);
  }
}

void ReconcileDB::InitMatchesGrid() { PrepareList(*Window().grdMatches); }

void ReconcileDB::ShowOrphanRecord() {
  frmReconcileDB& w = Window();
  state.gSelectedRecord.reset();
  platform::Label* const others[] = {w.lblSelectedSubject, w.lblSelectedProject, w.lblSelectedKeywords,
                                     w.lblSelectedPlayers};
  auto failed = [&](const char* text) {
    // Nothing of another note may stand beside the error.
    w.lblSelectedCaption->SetCaption(text);
    for (platform::Label* l : others) l->SetCaption("");
  };
  const std::string orphan = CurrentOrphan(*w.grdOrphans);
  const datafiles::UserDBContents notes = datafiles::ReadUserDB(decl.files);
  if (notes.error == platform::errFileNotFound) return failed("ERROR: Database not found");
  if (notes.error != platform::errNone) return;
  datafiles::UserDBState& shared = userdb_;
  shared.gUserDBRecNo = 0;
  shared.gUserDBFound = false;
  for (const datafiles::UserDBRecord& r : notes.records) {
    ++shared.gUserDBRecNo;
    shared.gUserDBRecord = r;
    if (r.Key() != orphan) continue;
    shared.gUserDBFound = true;
    const datafiles::UserDBNote note = datafiles::UserDBNote::OfRecord(r);
    w.lblSelectedCaption->SetCaption(Q("Caption: " + note.Caption));
    w.lblSelectedSubject->SetCaption(Q("Subject: " + note.Subject));
    w.lblSelectedProject->SetCaption(Q("Project: " + note.Project));
    w.lblSelectedKeywords->SetCaption(Q("Keywords: " + note.Keywords));
    w.lblSelectedPlayers->SetCaption(Q("Players: " + note.Players));
    state.gSelectedRecord = r;
    return;
  }
  failed("ERROR: No data found for this record");
}

void ReconcileDB::FindCandidateMatches() {
  frmReconcileDB& w = Window();
  state.gOrphanExtension.clear();
  state.gOrphanBaseName.clear();
  state.gSelectedOrphan = CurrentOrphan(*w.grdOrphans);
  platform::FlexGrid& m = *w.grdMatches;
  m.SetRows(0);
  inventory::OrphanNameParts parts = inventory::SplitOrphanName(state.gSelectedOrphan);
  state.gOrphanBaseName = std::move(parts.baseName);
  state.gOrphanExtension = std::move(parts.extension);
  const inventory::CandidateSearch found = inventory::FindCandidateMatches(
      decl.files, state.gSelectedOrphan, state.gSelectedRecord ? &*state.gSelectedRecord : nullptr);
  for (const std::string& path : found.paths) {
    m.AddItem(ListRow(path));
    frmReconcileDB::SizeGrid(m, kMatchRowsLimit, kMatchListHeight);
  }
}

void ReconcileDB::DetermineLinkKind() {
  frmReconcileDB& w = Window();
  state.gLinkKind = inventory::LinkKind::Same;
  state.gSelectedOrphan = CurrentOrphan(*w.grdOrphans);
  const platform::FlexGrid& m = *w.grdMatches;
  if (m.Rows() == 0 || state.gSelectedOrphan.empty()) return;
  state.gLinkTarget = m.TextMatrix(m.Row(), 1);
  using inventory::LinkKind;
  LinkKind kind = inventory::LinkKindOf(state.gSelectedOrphan, state.gLinkTarget);
  if (w.grdOrphans->Rows() > 1 && (kind == LinkKind::Drive || kind == LinkKind::Path)) {
    const inventory::LinkQuestion q = inventory::AllOrphansQuestion(kind);
    if (platform::MsgBox(q.text, platform::vbYesNo | platform::vbExclamation, q.title) == platform::vbYes) {
      kind = kind == LinkKind::Drive ? LinkKind::DriveAll : LinkKind::PathAll;
    }
  }
  state.gLinkKind = kind;
}

void ReconcileDB::ApplyLink() {
  frmReconcileDB& w = Window();
  const datafiles::DataFileNames& files = decl.files;
  platform::FlexGrid& g = *w.grdOrphans;

  inventory::LinkRequest request;
  request.kind = state.gLinkKind;
  request.selectedOrphan = state.gSelectedOrphan;
  request.target = state.gLinkTarget;
  request.fromBrowse = state.gLinkFromBrowse;
  state.gLinkFromBrowse = false;
  if (request.kind == inventory::LinkKind::Same || request.selectedOrphan.empty()) return;
  for (int r = 0; r < g.Rows(); ++r) request.listedOrphans.push_back(g.TextMatrix(r, 1));

  // A refused link has written nothing and keeps the choice, so that another can be made.
  const inventory::PreparedLink prepared = inventory::PrepareLink(files, request);
  if (prepared.refused) {
    messages::ShowLinkRefusal(prepared);
    return;
  }

  ClearSelectionPane();
  g.SetEnabled(false);
  if (!messages::ShowLinkWrite(inventory::CarryOutLink(files, prepared.plan))) {
    g.SetEnabled(true);
    return;
  }

  if (request.kind == inventory::LinkKind::DriveAll || request.kind == inventory::LinkKind::PathAll) {
    // Only the orphans whose notes moved leave the list.
    const std::unordered_set<std::string> moved(prepared.plan.movedOrphans.begin(), prepared.plan.movedOrphans.end());
    int r = 0;
    while (r < g.Rows()) {
      if (!moved.contains(g.TextMatrix(r, 1))) {
        ++r;
        continue;
      }
      if (g.Rows() == 1) {
        MakePlaceholder(g, r);
        break;
      }
      g.RemoveItem(r);
      frmReconcileDB::SizeGrid(g, kOrphanRowsLimit, kOrphanListHeight);
    }
  } else if (g.Rows() <= 1) {
    MakePlaceholder(g, 0);
  } else {
    // The list keeps its height here.
    g.RemoveItem(g.Row());
  }

  ClearSelectionPane();
  FindOrphanedRecords();
  g.SetEnabled(true);
}

bool ReconcileDB::DeleteOrphanRecord() {
  frmReconcileDB& w = Window();
  const std::string orphan = CurrentOrphan(*w.grdOrphans);
  if (orphan.empty()) return false;
  return messages::ShowOrphanNoteDelete(inventory::DeleteOrphanNote(decl.files, orphan));
}

void ReconcileDB::ClearSelectionPane() {
  frmReconcileDB& w = Window();
  w.grdMatches->SetRows(0);
  for (platform::Label* l : {w.lblSelectedCaption, w.lblSelectedSubject, w.lblSelectedProject, w.lblSelectedKeywords,
                             w.lblSelectedPlayers}) {
    l->SetCaption("");
  }
  w.btnDeleteRecord->setEnabled(false);
  w.btnBrowse->setEnabled(false);
  w.btnLink->setEnabled(false);
}
