// The five note boxes of the File Detail edit mode, and the drag of the shown file's path out
// of the description line.
#include <QDrag>
#include <QMimeData>

#include <array>
#include <utility>

#include "datafiles/userdb.h"
#include "inventory/paneparts.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmLauncher_dbpane.h"
#include "windows/skin.h"
#include "platform/core/codepage.h"
#include "platform/core/drives.h"
#include "platform/qt/resources.h"

using namespace pane;

namespace {

DragStarter& Starter() {
  static DragStarter starter;
  return starter;
}

struct NoteBox {
  platform::TextBox* box;
  platform::Label* label;
  int width;
};

std::array<NoteBox, 5> NoteBoxes(const frmLauncher& f) {
  using R = datafiles::UserDBRecord;
  return {{{f.txtDBCaption, f.lblDBCaption, static_cast<int>(R::kCaptionWidth)},
           {f.txtDBSubject, f.lblDBSubject, static_cast<int>(R::kSubjectWidth)},
           {f.txtDBProject, f.lblDBProject, static_cast<int>(R::kProjectWidth)},
           {f.txtDBKeywords, f.lblDBKeywords, static_cast<int>(R::kKeywordsWidth)},
           {f.txtDBPlayers, f.lblDBPlayers, static_cast<int>(R::kPlayersWidth)}}};
}

// A box takes at most its field's bytes: a longer text (typed, pasted or set) is cut at the
// last whole character that fits.
void KeepWithinField(platform::TextBox* box, int width) {
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

}  // namespace

void frmLauncher_txtDBNote_GotFocus(platform::TextBox* box) {
  box->SetBackColor(skin::kHighlight);
  box->SetForeColor(skin::kBack);
}

void frmLauncher_txtDBNote_DblClick(platform::TextBox* box) {
  frmLauncher_txtDBNote_GotFocus(box);
  box->setSelection(0, static_cast<int>(box->text().size()));
}

void frmLauncher_txtDBNote_LostFocus(platform::TextBox* box, const platform::Label* label) {
  box->SetBackColor(skin::kBack);
  box->SetForeColor(box->text() == label->Caption() ? skin::kText : skin::kChanged);
}

int NoteFieldWidth(const frmLauncher& f, const platform::TextBox* box) {
  for (const NoteBox& n : NoteBoxes(f)) {
    if (n.box == box) return n.width;
  }
  return 0;
}

void frmLauncher_txtDBDescription_OLEStartDrag(QMimeData& Data, Qt::DropActions& AllowedEffects) {
  // Another program understands the host's own form of the path.
  const std::string path = MainWindow().txtDBDescription->toolTip().toStdString();
  const std::string host = platform::HostPathOf(path);
  Data.setText(Q(host.empty() ? path : host));
  AllowedEffects = Qt::CopyAction;
}

void frmLauncher_txtDBDescription_MouseMove(int Button, int, int, int) {
  frmLauncher& f = MainWindow();
  platform::TextBox* box = f.txtDBDescription;
  if (f.lblDBViewTitle->Caption() != "File Detail") {
    box->setCursor(Qt::ArrowCursor);
    return;
  }
  box->setCursor(platform::LoadResCursor(skin::kHandIcon));
  if (Button != 1 || box->toolTip().isEmpty()) return;
  auto* data = new QMimeData;
  Qt::DropActions allowed = Qt::CopyAction;
  frmLauncher_txtDBDescription_OLEStartDrag(*data, allowed);
  if (Starter()) {
    Starter()(box, data, allowed);
    return;
  }
  auto* drag = new QDrag(box);
  drag->setMimeData(data);
  drag->exec(allowed, Qt::CopyAction);
}

void SetDragStarter(DragStarter starter) { Starter() = std::move(starter); }

void WireNoteFields(frmLauncher& f) {
  for (const NoteBox& n : NoteBoxes(f)) {
    platform::TextBox* box = n.box;
    const platform::Label* label = n.label;
    const int width = n.width;
    // Characters never outnumber bytes: the limit in characters bounds a paste at once.
    box->setMaxLength(width);
    QObject::connect(box, &QLineEdit::textChanged, box, [box, width] { KeepWithinField(box, width); });
    QObject::connect(box, &platform::TextBox::GotFocus, box, [box] { frmLauncher_txtDBNote_GotFocus(box); });
    QObject::connect(box, &platform::TextBox::DblClick, box, [box] { frmLauncher_txtDBNote_DblClick(box); });
    QObject::connect(box, &platform::TextBox::LostFocus, box,
                     [box, label] { frmLauncher_txtDBNote_LostFocus(box, label); });
  }
  QObject::connect(f.txtDBDescription, &platform::TextBox::MouseMove, f.txtDBDescription,
                   [](int button, int shift, int x, int y) { frmLauncher_txtDBDescription_MouseMove(button, shift, x, y); });
}
