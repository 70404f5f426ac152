// The database pane's controls, its tabs, Update, Print and grid events, the note boxes and
// the drag of the shown file's path out of the description line.
#include "pane/databasepane.h"

#include <QDrag>
#include <QMimeData>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "datafiles/userdb.h"
#include "platform/core/clock.h"
#include "platform/core/codepage.h"
#include "platform/core/drives.h"
#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/core/printer.h"
#include "platform/qt/controls.h"
#include "platform/qt/eventpump.h"
#include "platform/qt/grid.h"
#include "platform/qt/resources.h"
#include "windows/datafilesteps.h"
#include "windows/printout.h"
#include "windows/shareddata.h"
#include "windows/skin.h"

using platform::Label;
using platform::LabelButton;
using platform::PrintItem;
using platform::Q;
using platform::TextBox;

namespace {

// The views lay their columns out in 7490 twips (the System Inventory's ten columns; the lists'
// 7150 and a scroll bar): the grid is as wide, so that no band lies between the columns and
// the scroll bar.
constexpr int kPaneGridCellsPx = platform::TwipsToPixels(250) + platform::TwipsToPixels(400) +
                                 7 * platform::TwipsToPixels(840) + platform::TwipsToPixels(960);
// Where the pane lies in the main window.
constexpr int kLeft = 424, kTop = 56, kWidth = 764, kHeight = 466;

DragStarter& Starter() {
  static DragStarter starter;
  return starter;
}

struct NoteBox {
  TextBox* box;
  Label* label;
  int width;
};

std::array<NoteBox, 5> NoteBoxes(const DatabasePaneControls& p) {
  using R = datafiles::UserDBRecord;
  return {{{p.txtDBCaption, p.lblDBCaption, static_cast<int>(R::kCaptionWidth)},
           {p.txtDBSubject, p.lblDBSubject, static_cast<int>(R::kSubjectWidth)},
           {p.txtDBProject, p.lblDBProject, static_cast<int>(R::kProjectWidth)},
           {p.txtDBKeywords, p.lblDBKeywords, static_cast<int>(R::kKeywordsWidth)},
           {p.txtDBPlayers, p.lblDBPlayers, static_cast<int>(R::kPlayersWidth)}}};
}

// A box takes at most its field's bytes: a longer text (typed, pasted or set) is cut at the
// last whole character that fits.
void KeepWithinField(TextBox* box, int width) {
  const QByteArray bytes = box->text().toUtf8();
  if (bytes.size() <= width) return;
  const std::string_view fitted =
      platform::CutToWidth(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                           static_cast<std::size_t>(width));
  const int cursor = box->cursorPosition();
  const QString text = Q(fitted);
  box->setText(text);
  box->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
}

std::string Text(const Label* l) { return l->Caption().toStdString(); }

// The File Detail fields in their five groups, as the report prints them.
std::vector<std::vector<std::pair<const char*, const Label*>>> FileDetailGroups(const DatabasePaneControls& p) {
  return {
      {{"Caption: ", p.lblDBCaption},
       {"Subject: ", p.lblDBSubject},
       {"Project: ", p.lblDBProject},
       {"Keywords: ", p.lblDBKeywords},
       {"Players: ", p.lblDBPlayers}},
      {{"Rallysets: ", p.lblDBRallysets}},
      {{"Artist: ", p.lblDBArtist}, {"Album: ", p.lblDBAlbum}, {"Year: ", p.lblDBYear}, {"Genre: ", p.lblDBGenre}},
      {{"File Type: ", p.lblDBFileType},
       {"Format: ", p.lblDBFormatVersion},
       {"Name: ", p.lblDBName},
       {"Created: ", p.lblDBCreationDate},
       {"Engineer: ", p.lblDBEngineer},
       {"Copyright: ", p.lblDBCopyright},
       {"Comment: ", p.lblDBComment}},
      {{"Length: ", p.lblDBLength}, {"Channels: ", p.lblDBChannels}, {"Encoding: ", p.lblDBEncoding}},
  };
}

}  // namespace

void SetDragStarter(DragStarter starter) { Starter() = std::move(starter); }

DatabasePane::DatabasePane(QWidget* parent, PaneHost& host, platform::MediaPlayer& player, Declarations& decl,
                           DataFileIO& io, const std::string& openFilter)
    : QWidget(parent),
      host_(host),
      player_(player),
      decl_(decl),
      io_(io),
      reconcile_(decl, io, db.userdb, openFilter, host, this) {
  setGeometry(kLeft, kTop, kWidth, kHeight);
  Build();
  Wire();
}

DatabasePane::~DatabasePane() = default;

Label* DatabasePane::PaneLabel(int x, int y, int w, const QString& caption) {
  auto* l = new Label(this, caption);
  l->setGeometry(x, y, w, 20);
  return l;
}

void DatabasePane::Build() {
  const int width = kWidth;
  auto tab = [this](const char* caption, int x) {
    auto* b = new LabelButton(this, caption);
    b->setGeometry(x, 0, 90, 22);
    b->setAlignment(Qt::AlignCenter);
    // A button the view has taken away (its caption emptied) leaves no empty frame behind.
    b->SetBorder(true);
    connect(b, &Label::Change, b, [b] { b->SetBorder(!b->Caption().isEmpty()); });
    return b;
  };
  btnSelInventory = tab("Inventory", 0);
  btnSelDetail = tab("Detail", 94);
  btnSelSearch = tab("Search", 188);
  btnUpdate = tab("Update", width - 282);
  btnPrint = tab("Print", width - 188);
  btnPlay = tab("Play", width - 94);

  lblDBViewTitle = new Label(this);
  lblDBViewTitle->setGeometry(0, 28, width, 22);
  QFont titleFont = lblDBViewTitle->font();
  titleFont.setBold(true);
  titleFont.setPointSize(titleFont.pointSize() + 2);
  lblDBViewTitle->setFont(titleFont);
  txtDBDescription = new TextBox(this);
  txtDBDescription->setGeometry(0, 52, width, 22);
  txtDBDescription->setReadOnly(true);
  txtDBDescription->setFrame(false);

  // The File Detail fields lie under the cover, the grid above it.
  const int top = 80;
  auto note = [&](const char* caption, int row, Label*& captionLabel, Label*& value, TextBox*& box) {
    captionLabel = PaneLabel(0, top + row * 24, 80, caption);
    value = PaneLabel(84, top + row * 24, 290);
    box = new TextBox(this);
    box->setGeometry(84, top + row * 24 - 1, 290, 22);
    box->hide();
    box->setEnabled(false);
  };
  note("Caption:", 0, lblDBCaptionLabel, lblDBCaption, txtDBCaption);
  note("Subject:", 1, lblDBSubjectLabel, lblDBSubject, txtDBSubject);
  note("Project:", 2, lblDBProjectLabel, lblDBProject, txtDBProject);
  note("Keywords:", 3, lblDBKeywordsLabel, lblDBKeywords, txtDBKeywords);
  note("Players:", 4, lblDBPlayersLabel, lblDBPlayers, txtDBPlayers);
  lblDBRallysetsLabel = PaneLabel(0, top + 5 * 24, 80, "Rallysets:");
  lblDBRallysets = PaneLabel(84, top + 5 * 24, 290);
  lblDBRallysets->setWordWrap(true);
  lblDBRallysets->setFixedHeight(68);
  lblDBRallysets->setAlignment(Qt::AlignTop | Qt::AlignLeft);

  const int right = 390;
  int row = 0;
  auto field = [&](const char* caption) {
    PaneLabel(right, top + row * 22, 84, caption);
    return PaneLabel(right + 88, top + row++ * 22, width - 390 - 88);
  };
  lblDBFileType = field("File Type:");
  lblDBFormatVersion = field("Format:");
  lblDBName = field("Name:");
  lblDBCreationDate = field("Created:");
  lblDBEngineer = field("Engineer:");
  lblDBCopyright = field("Copyright:");
  lblDBComment = field("Comment:");
  lblDBLength = field("Length:");
  lblDBChannels = field("Channels:");
  lblDBEncoding = field("Encoding:");
  lblDBArtist = field("Artist:");
  lblDBAlbum = field("Album:");
  lblDBYear = field("Year:");
  lblDBGenre = field("Genre:");

  lblDBFileCover = new Label(this);
  lblDBFileCover->setGeometry(0, top, width, 14 * 22 + 4);
  lblDBFileCover->raise();

  grdTotals = new platform::FlexGrid(this);
  grdTotals->setGeometry(0, top, width, platform::TwipsToPixels(3375));
  grdTotals->SetCellAreaWidth(kPaneGridCellsPx);
  grdTotals->SetBackColorBkg(skin::kBack);  // beyond the last column and row, the skin
  grdTotals->raise();

  lblDBSearchTextLabel = PaneLabel(0, top + 6, 90, "Search Text:");
  txtDBSearchText = new TextBox(this);
  txtDBSearchText->setGeometry(94, top + 4, width - 94, 24);
  txtDBSearchText->SetBackColor(0xFFFFFF);
  txtDBSearchText->SetForeColor(0);
  lblDBSearchTextLabel->hide();
  lblDBSearchTextLabel->setEnabled(false);
  txtDBSearchText->hide();
  txtDBSearchText->setEnabled(false);

  lblDBStatus1 = PaneLabel(0, 424, width);
  lblDBStatus2 = PaneLabel(0, 446, width);
}

void DatabasePane::Wire() {
  // Clicks and the grid's keys that reach the pane while its work lets events run are dropped
  // before the controls see them, so that nothing moves the grid under the work.
  auto* blocker = new platform::InputBlocker(this, [this] { return PaneBusy(); });
  for (Label* b : {btnSelInventory, btnSelDetail, btnSelSearch, btnUpdate, btnPrint}) blocker->Watch(b);
  blocker->Watch(grdTotals);

  connect(btnSelInventory, &Label::Click, this, &DatabasePane::btnSelInventory_Click);
  connect(btnSelDetail, &Label::Click, this, &DatabasePane::btnSelDetail_Click);
  connect(btnSelSearch, &Label::Click, this, &DatabasePane::btnSelSearch_Click);
  connect(btnUpdate, &Label::Click, this, &DatabasePane::btnUpdate_Click);
  connect(btnPrint, &Label::Click, this, &DatabasePane::btnPrint_Click);
  connect(btnPlay, &Label::Click, this, [this] { host_.PlayOrStopShownFile(); });
  connect(grdTotals, &platform::FlexGrid::MouseDown, this, &DatabasePane::grdTotals_MouseDown);
  connect(grdTotals, &platform::FlexGrid::MouseMove, this, &DatabasePane::grdTotals_MouseMove);
  connect(grdTotals, &platform::FlexGrid::MouseUp, this, &DatabasePane::grdTotals_MouseUp);

  for (const NoteBox& n : NoteBoxes(*this)) {
    TextBox* box = n.box;
    const Label* label = n.label;
    const int width = n.width;
    // Characters never outnumber bytes: the limit in characters bounds a paste at once.
    box->setMaxLength(width);
    connect(box, &QLineEdit::textChanged, box, [box, width] { KeepWithinField(box, width); });
    connect(box, &TextBox::GotFocus, this, [this, box] { txtDBNote_GotFocus(box); });
    connect(box, &TextBox::DblClick, this, [this, box] { txtDBNote_DblClick(box); });
    connect(box, &TextBox::LostFocus, this, [this, box, label] { txtDBNote_LostFocus(box, label); });
  }
  connect(txtDBDescription, &TextBox::MouseMove, this, &DatabasePane::txtDBDescription_MouseMove);
}

void DatabasePane::SetTitle(PaneTitle title) {
  static constexpr const char* kCaptions[] = {"", "System Inventory", "Inventory Detail", "Drive Detail",
                                              "File Detail", "Search Inventory"};
  title_ = title;
  lblDBViewTitle->SetCaption(kCaptions[static_cast<int>(title)]);
}

void DatabasePane::SetDescription(const QString& text) {
  txtDBDescription->setText(text);
  descriptionNamesPlaylists_ = text.contains("m3u");
}

void DatabasePane::SetMode(PaneMode mode) {
  static constexpr const char* kCaptions[] = {"Update", "Cancel", "End Edit"};
  mode_ = mode;
  btnUpdate->SetCaption(kCaptions[static_cast<int>(mode)]);
}

void DatabasePane::SetPlayButton(PlayState state) {
  static constexpr const char* kCaptions[] = {"", "Play", "Stop"};
  play_ = state;
  btnPlay->SetCaption(kCaptions[static_cast<int>(state)]);
}

DatabasePane::ShownFile DatabasePane::FileOnShow() const {
  return {db.gCurrentFilePath, txtDBDescription->toolTip().toStdString(), lblDBCaption->Caption(),
          lblDBLength->Caption()};
}

void DatabasePane::ShowPlaying() {
  btnPlay->SetBackColor(skin::kHighlight);
  btnPlay->SetForeColor(skin::kBack);
  lblDBStatus1->SetCaption("Playing/previewing file...");
  SetPlayButton(PlayState::Stop);
}

void DatabasePane::ShowPlaybackStopped() { lblDBStatus1->SetCaption("Playback stopped"); }

void DatabasePane::ShowBusyForPlayback() {
  btnUpdate->setEnabled(false);
  btnUpdate->hide();
  btnSelSearch->setEnabled(false);
  btnSelSearch->hide();
}

void DatabasePane::ShowPlaybackOver() {
  if (btnPlay->isEnabled()) {
    btnPlay->SetBackColor(skin::kBack);
    btnPlay->SetForeColor(skin::kText);
    if (ShowsFileDetail()) {
      SetPlayButton(PlayState::Play);
      lblDBStatus1->SetCaption("");
    } else {
      SetPlayButton(PlayState::Away);
      btnPlay->setEnabled(false);
    }
  }
  btnSelSearch->setEnabled(true);
  btnSelSearch->show();
  btnUpdate->setEnabled(true);
  btnUpdate->show();
}

void DatabasePane::ShowStoppedByPlayer() {
  if (PlaysShownFile()) ShowPlaybackStopped();
}

void DatabasePane::ShowFileRallysets(const std::function<std::string(const std::string&)>& rallysets) {
  if (!ShowsFileDetail()) return;
  lblDBRallysets->SetCaption(Q(rallysets(txtDBDescription->toolTip().toStdString())));
}

bool DatabasePane::ShowInventoryForRescan() {
  if (mode_ == PaneMode::SearchEntry) RestoreDBPaneState();
  if (EditsNote()) {
    btnUpdate_Click();
    if (EditsNote()) return false;
  }
  if (title_ != PaneTitle::SystemInventory) btnSelInventory_Click();
  return true;
}

datafiles::InventoryChange DatabasePane::AddToInventory(const std::string& path) {
  return datafilesteps::AddFileToInventory(decl_.files, path, decl_.gRebuildInventory, [this] { UpdateInventory(); },
                                           db.summary);
}

datafiles::InventoryChange DatabasePane::RemoveFromInventory(const std::string& path, const std::string& shown) {
  return datafilesteps::RemoveFileFromInventory(decl_.files, path, shown, decl_.gRebuildInventory,
                                                [this] { UpdateInventory(); }, db.summary);
}

void DatabasePane::RedrawAfterPlaylistChange() {
  if (title_ == PaneTitle::SystemInventory) {
    datafilesteps::LoadInventorySummary(decl_.files, decl_.gRebuildInventory, [this] { UpdateInventory(); },
                                        db.summary);
    ShowSystemInventory();
  } else if (title_ == PaneTitle::InventoryDetail && descriptionNamesPlaylists_) {
    ShowInventoryDetail();
  }
}

void DatabasePane::btnSelInventory_Click() {
  if (PaneBusy()) return;
  skin::AtRest(btnSelSearch);
  skin::AtRest(btnSelDetail);
  skin::Pressed(btnSelInventory);
  ShowSystemInventory();
}

void DatabasePane::btnSelDetail_Click() {
  if (PaneBusy()) return;
  skin::AtRest(btnSelSearch);
  skin::Pressed(btnSelDetail);
  skin::AtRest(btnSelInventory);
  const DBView view = db.gViewMode;
  if (view == DBView::Detail) {
    ShowInventoryDetail();
  } else if (view == DBView::Drive) {
    ShowDriveDetail();
  } else if (view == DBView::Inventory || view == DBView::File) {
    // Back to the list the user came from.
    if (db.gPrevViewMode == DBView::Drive) {
      ShowDriveDetail();
    } else if (db.gPrevViewMode == DBView::Result) {
      ShowPreviousSearchResult();
    } else {
      ShowInventoryDetail();
    }
  }
  skin::Current(btnSelDetail);
}

void DatabasePane::btnSelSearch_Click() {
  if (PaneBusy()) return;
  if (mode_ == PaneMode::NoteEdit) {
    ClearUserDBFields();
    return;
  }
  if (mode_ != PaneMode::SearchEntry) {
    skin::Current(btnSelSearch);
    SetMode(PaneMode::SearchEntry);
    for (Label* b : {btnSelDetail, btnSelInventory, btnPrint, btnPlay}) {
      b->setEnabled(false);
      b->hide();
    }
    db.gSavedViewTitle = lblDBViewTitle->Caption().toStdString();
    savedTitle_ = title_;
    db.gSavedDescription = txtDBDescription->text().toStdString();
    db.gSavedDescriptionTip = txtDBDescription->toolTip().toStdString();
    db.gSavedStatus1 = lblDBStatus1->Caption().toStdString();
    db.gSavedStatus2 = lblDBStatus2->Caption().toStdString();
    SetTitle(PaneTitle::SearchInventory);
    ShowSearchIncludeLine();
    grdTotals->SetVisible(false);
    lblDBFileCover->show();
    lblDBSearchTextLabel->setEnabled(true);
    lblDBSearchTextLabel->show();
    txtDBSearchText->setEnabled(true);
    txtDBSearchText->show();
    txtDBSearchText->setFocus();
    return;
  }
  // The pressed look shows before the search; a click that arrives meanwhile finds the pane busy.
  PaneWork work(db);
  skin::Pressed(btnSelSearch);
  platform::DoEvents();
  SearchDatabase();
}

void DatabasePane::btnUpdate_Click() {
  if (PaneBusy()) return;
  if (mode_ == PaneMode::SearchEntry) {
    RestoreDBPaneState();
    return;
  }
  const DBView view = db.gViewMode;
  if (view == DBView::Inventory) {
    skin::AtRest(btnSelSearch);
    skin::AtRest(btnSelDetail);
    skin::Current(btnSelInventory);
    skin::Pressed(btnUpdate);
    UpdateInventory();
    skin::AtRest(btnUpdate);
  } else if (view == DBView::Detail || view == DBView::Drive) {
    skin::AtRest(btnSelSearch);
    skin::Current(btnSelDetail);
    skin::AtRest(btnSelInventory);
    skin::Pressed(btnUpdate);
    if (view == DBView::Detail) {
      ShowInventoryDetail();
    } else {
      ShowDriveDetail();
    }
    skin::AtRest(btnUpdate);
  } else if (view == DBView::File) {
    skin::AtRest(btnSelDetail);
    btnSelSearch->SetCaption("Erase All");
    for (Label* b : {btnSelDetail, btnSelInventory, btnPrint}) {
      b->SetCaption("");
      b->setEnabled(false);
    }
    SetPlayButton(PlayState::Away);
    btnPlay->setEnabled(false);
    ToggleDBEditMode();
  }
}

void DatabasePane::btnPrint_Click() {
  if (PaneBusy()) return;
  skin::Pressed(btnPrint);
  lblDBStatus1->SetCaption("Printing Systen Inventory report...");
  platform::SetScreenPointer(11);
  platform::DoEvents();

  try {
    platform::Printer& printer = platform::Printers();
    PrintPrintoutHead(printer, platform::vbPRORPortrait, "Audio Database Report - Tolvan Audio Manager",
                      platform::ShortDate(platform::CurrentClock().Now()), false);
    printer.SetFontSize(14);
    printer.SetFontBold(true);
    printer.PrintLine({PrintItem::Direct(Text(lblDBViewTitle))});
    printer.SetFontSize(10);
    printer.PrintLine({PrintItem::Direct(txtDBDescription->text().toStdString())});
    printer.PrintLine({});
    if (ShowsFileDetail()) {
      bool first = true;
      for (const auto& group : FileDetailGroups(*this)) {
        if (!first) printer.PrintLine({});
        first = false;
        for (const auto& [literal, label] : group) printer.PrintLine({PrintItem::Direct(literal + Text(label))});
      }
    } else {
      platform::FlexGrid& g = *grdTotals;
      if (g.Rows() > 0 && g.Cols() > 0) {
        g.SetRow(0);
        g.SetCol(0);
        g.SetRowSel(g.Rows() - 1);
        g.SetColSel(g.Cols() - 1);
        printer.PrintLine({PrintItem::Direct(g.Clip())});
      }
    }
    printer.EndDoc();
  } catch (const platform::VbError& failure) {
    platform::SetScreenPointer(0);
    skin::AtRest(btnPrint);
    lblDBStatus1->SetCaption("Print request failed");
    platform::MsgBox(failure.what(), platform::vbExclamation, "Database Report Not Printed");
    return;
  }
  platform::SetScreenPointer(0);
  skin::AtRest(btnPrint);
  lblDBStatus1->SetCaption("Print request completed");
}

void DatabasePane::grdTotals_MouseDown(int, int, int, int) { db.gTargetRow = grdTotals->MouseRow(); }

void DatabasePane::grdTotals_MouseMove(int, int, int, int Y) {
  platform::FlexGrid& g = *grdTotals;
  const DBView view = db.gViewMode;
  const bool list = view == DBView::Detail || view == DBView::Result;
  if (!list || g.MouseRow() == 0) {
    if (!g.ToolTipText().empty()) g.SetToolTipText("");
    return;
  }
  // Every row is taken as 240 twips high, the header included.
  const int r = Y / platform::FlexGrid::kRowHeightTwips + g.TopRow() - 1;
  const std::string tip = r >= 1 && r < g.Rows() && g.Cols() > 3 ? g.TextMatrix(r, 3) : std::string();
  if (tip != g.ToolTipText()) g.SetToolTipText(tip);
}

void DatabasePane::grdTotals_MouseUp(int Button, int, int, int) {
  if (PaneBusy()) return;
  platform::FlexGrid& g = *grdTotals;
  if (g.MouseRow() >= 0) g.SetRow(g.MouseRow());
  const DBView view = db.gViewMode;
  if (view == DBView::Inventory) {
    OnTotalsGridClick();
  } else if (view == DBView::Detail || view == DBView::Result) {
    // The right button plays what it opened; a row that opened nothing leaves the player alone.
    if (OpenListedFile() && Button == 2) host_.PlayOrStopShownFile();
  }
}

void DatabasePane::txtDBNote_GotFocus(TextBox* box) {
  box->SetBackColor(skin::kHighlight);
  box->SetForeColor(skin::kBack);
}

void DatabasePane::txtDBNote_DblClick(TextBox* box) {
  txtDBNote_GotFocus(box);
  box->setSelection(0, static_cast<int>(box->text().size()));
}

void DatabasePane::txtDBNote_LostFocus(TextBox* box, const Label* label) {
  box->SetBackColor(skin::kBack);
  box->SetForeColor(box->text() == label->Caption() ? skin::kText : skin::kChanged);
}

int DatabasePane::NoteFieldWidth(const TextBox* box) const {
  for (const NoteBox& n : NoteBoxes(*this)) {
    if (n.box == box) return n.width;
  }
  return 0;
}

void DatabasePane::txtDBDescription_OLEStartDrag(QMimeData& Data, Qt::DropActions& AllowedEffects) {
  // Another program understands the host's own form of the path.
  const std::string path = txtDBDescription->toolTip().toStdString();
  const std::string host = platform::HostPathOf(path);
  Data.setText(Q(host.empty() ? path : host));
  AllowedEffects = Qt::CopyAction;
}

void DatabasePane::txtDBDescription_MouseMove(int Button, int, int, int) {
  TextBox* box = txtDBDescription;
  if (!ShowsFileDetail()) {
    box->setCursor(Qt::ArrowCursor);
    return;
  }
  box->setCursor(platform::LoadResCursor(skin::kHandIcon));
  if (Button != 1 || box->toolTip().isEmpty()) return;
  auto* data = new QMimeData;
  Qt::DropActions allowed = Qt::CopyAction;
  txtDBDescription_OLEStartDrag(*data, allowed);
  if (Starter()) {
    Starter()(box, data, allowed);
    return;
  }
  auto* drag = new QDrag(box);
  drag->setMimeData(data);
  drag->exec(allowed, Qt::CopyAction);
}
