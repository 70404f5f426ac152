#include "platform/qt/msgbox_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <vector>

#include "platform/qt/eventpump.h"
#include "platform/qt/popupwindow.h"

namespace platform {
namespace {

// The program builds its breaks from LF CR, CR LF or a lone character: each is one break.
QString DisplayText(std::string_view text) {
  QString in = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  QString out;
  for (qsizetype i = 0; i < in.size(); ++i) {
    QChar c = in[i];
    if (c == '\n' || c == '\r') {
      if (i + 1 < in.size() && (in[i + 1] == '\n' || in[i + 1] == '\r') && in[i + 1] != c) ++i;
      out += '\n';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

int QtMessageBoxes::Show(std::string_view text, int style, std::string_view title) {
  QMessageBox box(DialogParent());
  box.setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
  box.setText(DisplayText(text));
  switch (style & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
  }
  struct Choice {
    QMessageBox::StandardButton button;
    int answer;
  };
  std::vector<Choice> choices;
  switch (style & 7) {
    case vbOKCancel: choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
    case vbAbortRetryIgnore:
      choices = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
      break;
    case vbYesNoCancel:
      choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
      break;
    case vbYesNo: choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
    case vbRetryCancel: choices = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
    default: choices = {{QMessageBox::Ok, vbOK}}; break;
  }
  for (const auto& c : choices) box.addButton(c.button);
  std::size_t defaultIndex = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
  if (defaultIndex < choices.size()) box.setDefaultButton(choices[defaultIndex].button);
  // The box answers the user, not a busy pointer left by the work around it.
  int pointer = ScreenPointer();
  SetScreenPointer(0);
  box.exec();
  SetScreenPointer(pointer);
  QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
  for (const auto& c : choices) {
    if (c.button == pressed) return c.answer;
  }
  // Closed by Escape or the close box: the Cancel or No answer where there is one.
  for (const auto& c : choices) {
    if (c.answer == vbCancel) return vbCancel;
  }
  for (const auto& c : choices) {
    if (c.answer == vbNo) return vbNo;
  }
  return choices.front().answer;
}

}  // namespace platform
