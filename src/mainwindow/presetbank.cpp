// The preset bank: the buttons' captions, the right press and drops that open the one-preset
// editor.
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <memory>
#include <utility>

#include "windows/shareddata.h"
#include "windows/eventhook.h"
#include "mainwindow/presetbank.h"
#include "windows/drops.h"
#include "platform/core/drives.h"
#include "platform/qt/dropdata.h"

namespace {

// A button shows "&" as it is, not as a mnemonic.
QString ButtonText(const std::string& caption) { return QString::fromStdString(caption).replace("&", "&&"); }

}  // namespace

using platform::Label;

PresetBank::PresetBank(QWidget* window, ProgramState& app, PresetBankHost& host)
    : QObject(window), window_(window), app_(app), host_(host) {
  Build(window);
  Wire();
}

void PresetBank::Build(QWidget* window) {
  Label1 = new Label(window, "Tap Deck");
  Label1->setGeometry(12, 522, 200, 20);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  const int w = 114, h = 38, gap = 4;
  for (int n = 1; n <= 20; ++n) {
    auto* b = new QPushButton(QString::number(n), window);
    int col = (n - 1) % 10, rowIndex = (n - 1) / 10;
    b->setGeometry(12 + col * (w + gap), 546 + rowIndex * (h + gap), w, h);
    b->setAcceptDrops(true);
    btnPreset[n] = b;
  }
}

void PresetBank::Wire() {
  for (int n = 1; n <= 20; ++n) {
    QPushButton* button = btnPreset[n];
    connect(button, &QPushButton::clicked, this, [this, n] { host_.PlayPreset(n); });
    new EventHook(button, [this, n](QEvent* e) {
      switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
          auto* m = static_cast<QMouseEvent*>(e);
          if (m->button() == Qt::LeftButton) return false;
          // Other buttons are the bank's own: they neither click nor drag the window.
          if (e->type() == QEvent::MouseButtonPress) {
            const QPoint p = m->position().toPoint();
            btnPreset_MouseDown(n, platform::VbButton(m->button()), platform::VbShift(m->modifiers()),
                                platform::PixelsToTwips(p.x()), platform::PixelsToTwips(p.y()));
          }
          return true;
        }
        case QEvent::MouseButtonRelease:
          return static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
          auto* d = static_cast<QDropEvent*>(e);
          if (platform::OffersDroppedPath(d->mimeData())) {
            d->acceptProposedAction();
          } else {
            d->ignore();
          }
          return true;
        }
        case QEvent::Drop: {
          auto* d = static_cast<QDropEvent*>(e);
          // The editor opens once the drop is over, so that the other program is not kept
          // waiting on a modal window.
          auto copy = std::make_shared<QMimeData>();
          if (const QMimeData* data = d->mimeData()) {
            for (const QString& format : data->formats()) copy->setData(format, data->data(format));
          }
          d->acceptProposedAction();
          QTimer::singleShot(0, this, [this, n, copy] { btnPreset_OLEDragDrop(n, *copy); });
          return true;
        }
        default: return false;
      }
    });
  }
}

void PresetBank::RefreshPresetButtons() {
  datafiles::Presets& presets = app_.io.presets;
  for (int n = 1; n <= 20; ++n) {
    QFont font = btnPreset[n]->font();
    if (!presets.gPresetPaths[n - 1].empty()) {
      font.setBold(true);
    } else {
      presets.gPresetCaptions[n - 1] = std::to_string(n);
      font.setBold(false);
    }
    btnPreset[n]->setFont(font);
    btnPreset[n]->setText(ButtonText(presets.gPresetCaptions[n - 1]));
  }
}

std::string PresetBank::PresetButtonCaption(int Index) const {
  if (Index < 1 || Index > 20) return {};
  return btnPreset[Index]->text().replace("&&", "&").toStdString();
}

void PresetBank::btnPreset_MouseDown(int Index, int Button, int, int, int) {
  if (Button != 2) return;
  app_.launcher.gPresetIndex = Index;
  host_.EditOnePreset();
}

void PresetBank::btnPreset_OLEDragDrop(int Index, const QMimeData& Data) {
  const std::optional<std::string> path = DroppedPath(Data);
  if (!path) return;
  LauncherState& state = app_.launcher;
  state.gPrefillPath = *path;
  state.gPrefillPending = true;
  window_->activateWindow();
  window_->setFocus();
  state.gPresetIndex = Index;
  host_.EditOnePreset();
}
