#include "platform/qt/eventpump.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QTimer>

namespace platform {
namespace {
int gPointer = 0;
}

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void WaitEvents(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void SetScreenPointer(int vbPointer) {
  bool busy = vbPointer == 11;
  if (busy && gPointer != 11) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (!busy && gPointer == 11) {
    QApplication::restoreOverrideCursor();
  }
  gPointer = busy ? 11 : 0;
}

int ScreenPointer() { return gPointer; }

}  // namespace platform
