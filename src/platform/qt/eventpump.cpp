#include "platform/qt/eventpump.h"

#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QTimer>
#include <vector>

namespace platform {
namespace {
int gPointer = 0;
// The waits running, innermost last.
std::vector<QEventLoop*> gWaits;
}

void DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void WaitEvents(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  gWaits.push_back(&loop);
  struct Pop {
    ~Pop() { gWaits.pop_back(); }
  } pop;
  loop.exec();
}

void EndWaits() {
  for (QEventLoop* loop : gWaits) loop->quit();
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
