#include "pane/frmReconcileDB.h"

#include <QCloseEvent>
#include <QEvent>
#include <QPointer>
#include <QTableView>

#include <algorithm>

#include "pane/reconciledb.h"
#include "inventory/reconcilelogic.h"
#include "pane/databasepane.h"
#include "windows/datafilesteps.h"
#include "windows/skin.h"
#include "windows/shareddata.h"
#include "windows/helppages.h"
#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/msgbox.h"
#include "platform/core/textrecords.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "platform/qt/resources.h"

using platform::Label;
using platform::TwipsToPixels;

namespace {

constexpr std::uint32_t kNoteBack = 0xC0C0C0;
constexpr std::uint32_t kFrameBack = 0x404040;
constexpr std::uint32_t kChosenBack = 0x800000;
constexpr std::uint32_t kChosenText = 0xFFFFFF;
constexpr std::uint32_t kStaleMatchBack = 0xC0C0C0;

void Place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

Label* MakeLabel(QWidget* parent, const char* caption, std::uint32_t back, bool bold) {
  auto* l = new Label(parent, caption);
  l->SetBackColor(back);
  l->SetForeColor(0);
  if (bold) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

// A heading keeps its place; a face wider than the one it was laid out for widens it.
void FitWidth(Label* l) {
  l->resize(std::max(l->width(), l->sizeHint().width()), l->height());
}

QPushButton* PictureButton(QWidget* parent, const char* tooltip) {
  auto* b = new QPushButton(parent);
  b->setToolTip(tooltip);
  b->setAutoDefault(false);
  return b;
}

// The grid's colours of a cell that is no longer the choice.
void ResetCell(platform::FlexGrid& g) {
  if (g.Rows() == 0 || g.Cols() == 0) return;
  g.SetCellBackColor(0);
  g.SetCellForeColor(0);
}

}  // namespace

frmReconcileDB::frmReconcileDB(ReconcileDB& module, QWidget* parent) : QDialog(parent), module_(module) {
  setWindowTitle("Reconcile Database");
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFixedSize(TwipsToPixels(10965), TwipsToPixels(3765));
  platform::PaintWindow(*this, skin::kFormGrey, 0);
  // The sizes are laid out for an 8-point face.
  QFont face = font();
  face.setPointSizeF(8.25);
  setFont(face);

  lblOrphanedRecords = MakeLabel(this, "Orphan Records", skin::kFormGrey, true);
  Place(lblOrphanedRecords, 180, 120, 1575, 255);
  FitWidth(lblOrphanedRecords);
  lblOrphansBkgd = MakeLabel(this, "", kFrameBack, false);
  Place(lblOrphansBkgd, 120, 360, 4695, 1980);
  grdOrphans = new platform::FlexGrid(this);
  Place(grdOrphans, 150, 390, 4635, 1935);

  lblDetailFrame = MakeLabel(this, "", kNoteBack, false);
  lblDetailFrame->SetBorder(true);
  Place(lblDetailFrame, 120, 2340, 4695, 1305);
  Label** notes[] = {&lblSelectedCaption, &lblSelectedSubject, &lblSelectedProject, &lblSelectedKeywords,
                     &lblSelectedPlayers};
  for (int i = 0; i < 5; ++i) {
    *notes[i] = MakeLabel(this, "", kNoteBack, false);
    Place(*notes[i], 180, 2400 + 240 * i, 4575, 255);
  }

  lblSearchStatus = MakeLabel(this, "", platform::RGB(128, 128, 128), true);
  lblSearchStatus->setAlignment(Qt::AlignCenter);
  Place(lblSearchStatus, 4920, 390, 1170, 255);
  btnLink = PictureButton(this, "Link to selected match");
  Place(btnLink, 4920, 750, 1165, 375);
  btnDeleteRecord = PictureButton(this, "Delete Orphan");
  Place(btnDeleteRecord, 4920, 1185, 735, 375);
  btnBrowse = PictureButton(this, "Manual browse");
  Place(btnBrowse, 5720, 1185, 375, 375);
  btnReconcileHelp = PictureButton(this, "Help");
  Place(btnReconcileHelp, 4920, 1800, 1165, 375);
  btnClose = new QPushButton("Close", this);
  btnClose->setAutoDefault(false);
  Place(btnClose, 4920, 3240, 1165, 375);
  for (QPushButton* b : {btnLink, btnDeleteRecord, btnBrowse}) b->setEnabled(false);

  lblPotentialMatches = MakeLabel(this, "Potential Matches", skin::kFormGrey, true);
  Place(lblPotentialMatches, 6205, 120, 1575, 255);
  FitWidth(lblPotentialMatches);
  lblMatchesBkgd = MakeLabel(this, "", kFrameBack, false);
  Place(lblMatchesBkgd, 6150, 360, 4695, 3285);
  grdMatches = new platform::FlexGrid(this);
  Place(grdMatches, 6180, 390, 4640, 3230);

  grdOrphans->SetHeight(1935);
  grdMatches->SetHeight(3230);
  // Nothing moves a grid's current cell while the window's work lets events run.
  auto* busyInput = new platform::InputBlocker(this, [this] { return busy_; });
  for (platform::FlexGrid* g : {grdOrphans, grdMatches}) {
    g->SetCols(2);
    g->SetRows(0);
    g->SetFixedRows(0);
    g->SetBackColorBkg(skin::kFormGrey);
    // The hidden column leaves nothing to scroll to sideways.
    // The frame label behind draws the border: the rows get the whole height the sizing gives.
    if (auto* view = g->findChild<QTableView*>()) {
      view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      view->setFrameShape(QFrame::NoFrame);
    }
    busyInput->Watch(g);
  }

  connect(grdOrphans, &platform::FlexGrid::MouseDown, this, &frmReconcileDB::grdOrphans_MouseDown);
  connect(grdOrphans, &platform::FlexGrid::LeaveCell, this, &frmReconcileDB::grdOrphans_LeaveCell);
  connect(grdOrphans, &platform::FlexGrid::MouseMove, this, &frmReconcileDB::grdOrphans_MouseMove);
  connect(grdMatches, &platform::FlexGrid::Click, this, &frmReconcileDB::grdMatches_Click);
  connect(grdMatches, &platform::FlexGrid::LeaveCell, this, &frmReconcileDB::grdMatches_LeaveCell);
  connect(grdMatches, &platform::FlexGrid::MouseMove, this, &frmReconcileDB::grdMatches_MouseMove);
  connect(btnLink, &QPushButton::clicked, this, &frmReconcileDB::btnLink_Click);
  connect(btnBrowse, &QPushButton::clicked, this, &frmReconcileDB::btnBrowse_Click);
  connect(btnDeleteRecord, &QPushButton::clicked, this, &frmReconcileDB::btnDeleteRecord_Click);
  connect(btnClose, &QPushButton::clicked, this, &frmReconcileDB::btnClose_Click);
  connect(btnReconcileHelp, &QPushButton::clicked, this, &frmReconcileDB::btnReconcileHelp_Click);
}

frmReconcileDB::~frmReconcileDB() = default;

void frmReconcileDB::Form_Load() {
  setWindowIcon(platform::LoadResIcon(201));
  platform::SetButtonPicture(btnLink, 129, platform::ResKind::Bitmap, 130, 6);
  platform::SetButtonPicture(btnDeleteRecord, 126, platform::ResKind::Bitmap, 127, 6);
  platform::SetButtonPicture(btnBrowse, 109, platform::ResKind::Bitmap, 128, 6);
  platform::SetButtonPicture(btnReconcileHelp, 110, platform::ResKind::Bitmap, 0, 6);
  browseInitDir = module_.io.prefs.gBrowsePath;
}

void frmReconcileDB::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  const platform::FlexGrid& g = *grdOrphans;
  const bool none = g.Rows() == 0 || g.TextMatrix(0, 0) == kNoOrphansFound;
  module_.io.prefs.gOrphanQuantity = platform::NumberText(none ? 0 : g.Rows());
  datafilesteps::SavePreferences(module_.decl.files, module_.io.prefs);
  module_.host.OrphanCountChanged();
}

void frmReconcileDB::done(int result) {
  // Escape or the close box in the middle of a link or a search: the work finishes first.
  if (busy_) return;
  Form_Unload();
  QDialog::done(result);
}

void frmReconcileDB::closeEvent(QCloseEvent* event) {
  // The close box unloads without the questions of Close; Escape (reject) asks them.
  if (busy_) {
    event->ignore();
    return;
  }
  done(QDialog::Rejected);
  event->accept();
}

void frmReconcileDB::reject() { btnClose_Click(); }

void frmReconcileDB::SetStatus(Status status) {
  switch (status) {
    case Status::Idle:
      lblSearchStatus->SetBackColor(platform::RGB(128, 128, 128));
      lblSearchStatus->SetCaption("");
      break;
    case Status::Scanning:
      lblSearchStatus->SetBackColor(platform::RGB(255, 128, 64));
      lblSearchStatus->SetCaption("Scanning");
      break;
    case Status::Searching:
      lblSearchStatus->SetBackColor(platform::RGB(192, 192, 0));
      lblSearchStatus->SetCaption("Searching");
      break;
    case Status::Linking:
      lblSearchStatus->SetBackColor(platform::RGB(0, 192, 0));
      lblSearchStatus->SetCaption("Linking");
      break;
  }
}

void frmReconcileDB::SizeGrid(platform::FlexGrid& grid, int limit, int fullHeight) {
  const int rows = grid.Rows();
  grid.SetHeight(rows < limit ? grid.RowHeight(0) * rows + 10 : fullHeight);
}

bool frmReconcileDB::OrphansRemain() const {
  const platform::FlexGrid& g = *grdOrphans;
  return g.Rows() >= 2 || (g.Rows() == 1 && g.TextMatrix(0, 0) != kNoOrphansFound);
}

void frmReconcileDB::grdOrphans_MouseDown(int Button, int, int, int) {
  if (Button != 1 || busy_) return;
  platform::FlexGrid& g = *grdOrphans;
  // The placeholder row holds no orphan to choose.
  if (g.Rows() == 0 || g.TextMatrix(g.Row(), 1).empty()) return;
  busy_ = true;
  g.SetCol(0);
  g.SetCellBackColor(kChosenBack);
  g.SetCellForeColor(kChosenText);
  platform::FlexGrid& m = *grdMatches;
  for (int r = 0; r < m.Rows(); ++r) {
    m.SetRow(r);
    m.SetCellBackColor(kStaleMatchBack);
    m.SetCellForeColor(0);
  }
  btnLink->setEnabled(false);
  SetStatus(Status::Searching);
  platform::DoEvents();
  module_.ShowOrphanRecord();
  module_.FindCandidateMatches();
  btnDeleteRecord->setEnabled(true);
  btnBrowse->setEnabled(true);
  SetStatus(Status::Idle);
  busy_ = false;
}

void frmReconcileDB::grdMatches_Click() {
  platform::FlexGrid& m = *grdMatches;
  if (busy_ || m.Rows() == 0) return;
  m.SetCol(0);
  m.SetCellBackColor(kChosenBack);
  m.SetCellForeColor(kChosenText);
  btnLink->setEnabled(true);
}

void frmReconcileDB::grdOrphans_LeaveCell() { ResetCell(*grdOrphans); }
void frmReconcileDB::grdMatches_LeaveCell() { ResetCell(*grdMatches); }

namespace {

void ShowRowTip(platform::FlexGrid& g, int y) {
  const int row = y / platform::FlexGrid::kRowHeightTwips + g.TopRow();
  if (row >= 0 && row < g.Rows()) g.SetToolTipText(g.TextMatrix(row, 1));
}

}  // namespace

void frmReconcileDB::grdOrphans_MouseMove(int, int, int, int Y) { ShowRowTip(*grdOrphans, Y); }
void frmReconcileDB::grdMatches_MouseMove(int, int, int, int Y) { ShowRowTip(*grdMatches, Y); }

void frmReconcileDB::btnLink_Click() {
  if (busy_) return;
  busy_ = true;
  SetStatus(Status::Linking);
  platform::DoEvents();
  module_.DetermineLinkKind();
  module_.ApplyLink();
  SetStatus(Status::Idle);
  busy_ = false;
}

void frmReconcileDB::btnBrowse_Click() {
  if (busy_) return;
  platform::FileDialogRequest request;
  request.filter = module_.openFilter;
  request.initDir = browseInitDir;
  std::string chosen;
  try {
    chosen = platform::FileDialogs().Show(request);
  } catch (const platform::VbError& error) {
    if (error.number() != platform::errCancel) platform::MsgBox(error.what(), platform::vbOKOnly, "");
    return;
  }
  busy_ = true;
  ReconcileDBState& state = module_.state;
  state.gLinkTarget = chosen;
  state.gLinkKind = inventory::LinkKind::Name;
  state.gLinkFromBrowse = true;
  module_.ApplyLink();
  SetStatus(Status::Idle);
  busy_ = false;
}

void frmReconcileDB::btnDeleteRecord_Click() {
  if (busy_) return;
  platform::FlexGrid& g = *grdOrphans;
  if (g.Rows() == 0) return;
  const std::string path = g.TextMatrix(g.Row(), 1);
  if (path.empty()) return;
  const std::array<std::string, 5> labels = {
      lblSelectedCaption->Caption().toStdString(), lblSelectedSubject->Caption().toStdString(),
      lblSelectedProject->Caption().toStdString(), lblSelectedKeywords->Caption().toStdString(),
      lblSelectedPlayers->Caption().toStdString()};
  const int answer = platform::MsgBox(inventory::DeleteQuestionText(path, labels),
                                      platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2,
                                      "Deleting record");
  if (answer != platform::vbYes) return;
  busy_ = true;
  if (module_.DeleteOrphanRecord()) {
    if (g.Rows() == 1) {
      g.SetCol(0);
      g.SetText(kNoOrphansFound);
      g.SetTextMatrix(g.Row(), 1, "");
      ResetCell(g);
    } else {
      g.RemoveItem(g.Row());
      SizeGrid(g, 8, 1940);
    }
    module_.ClearSelectionPane();
  }
  SetStatus(Status::Idle);
  busy_ = false;
}

void frmReconcileDB::btnClose_Click() {
  if (busy_) return;
  if (OrphansRemain()) {
    const int answer = platform::MsgBox(inventory::OrphansRemainText(),
                                        platform::vbYesNo | platform::vbExclamation | platform::vbDefaultButton2,
                                        "Orphans still exist");
    if (answer != platform::vbYes) return;
    platform::MsgBox(inventory::ReconcilingLaterText(), platform::vbInformation, "Reconciling Later");
  }
  done(QDialog::Accepted);
}

void frmReconcileDB::btnReconcileHelp_Click() { StartHelpPage(module_.decl.gAppPath, "dbrecon.htm"); }
