#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "platform/qt/controls.h"
#include "platform/qt/filedialogs_qt.h"
#include "platform/qt/resources.h"

using namespace platform;

TEST(Colours, NumbersAreBlueGreenRed) {
  EXPECT_EQ(VbColorNumber("&H473D01"), 0x473D01u);
  EXPECT_EQ(VbColorNumber("&HDC"), 0xDCu);
  EXPECT_EQ(VbColorNumber("255"), 255u);
  EXPECT_EQ(VbColor(0x473D01), QColor(1, 61, 71));
  EXPECT_EQ(VbColor(0xDCC281), QColor(129, 194, 220));
  EXPECT_EQ(RGB(1, 61, 71), 0x473D01u);
  EXPECT_EQ(TwipsToPixels(240), 16);
  EXPECT_EQ(TwipsToPixels(3375), 225);
}

TEST(Colours, APaintedWindowFillsItsBackAndColoursItsLabelsOnlyWhenTold) {
  QWidget told, untold;
  const QColor defaultText = untold.palette().color(QPalette::WindowText);
  PaintWindow(told, 0x473D01, 0xDCC281);
  PaintWindow(untold, 0x473D01);
  auto* label = new Label(&told, "x");
  for (QWidget* w : {&told, &untold}) {
    EXPECT_TRUE(w->autoFillBackground());
    EXPECT_EQ(w->palette().color(QPalette::Window), QColor(1, 61, 71));
  }
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(129, 194, 220));
  EXPECT_EQ(untold.palette().color(QPalette::WindowText), defaultText);
}

TEST(VbTimerTest, EnablingAnEnabledTimerDoesNotRestartItSettingTheIntervalDoes) {
  // Each firing is timed against the moment of the call it must (or must not) follow, so that
  // a slow machine delays the firings without deciding the result.
  constexpr int kInterval = 400;
  constexpr qint64 kEarliest = kInterval * 95 / 100;  // a coarse timer may fire 5 % early
  VbTimer timer(nullptr, kInterval);
  QElapsedTimer clock;
  std::vector<qint64> firedAt;
  QObject::connect(&timer, &VbTimer::Timer, [&] { firedAt.push_back(clock.elapsed()); });
  // When it first fired at or after `since`, waited for; -1 when it never did.
  auto firstFiringAfter = [&](qint64 since) -> qint64 {
    auto found = [&] { return std::find_if(firedAt.begin(), firedAt.end(), [&](qint64 t) { return t >= since; }); };
    return QTest::qWaitFor([&] { return found() != firedAt.end(); }, 10000) ? *found() : -1;
  };

  clock.start();
  timer.SetEnabled(true);
  QTest::qWait(kInterval * 3 / 4);
  const qint64 enabledAgain = clock.elapsed();
  timer.SetEnabled(true);
  const qint64 firstFired = firstFiringAfter(enabledAgain);
  ASSERT_GE(firstFired, 0);
  EXPECT_LT(firstFired - enabledAgain, kEarliest) << "no restart: it fires an interval after the first enable";

  timer.SetEnabled(false);
  timer.SetEnabled(true);
  QTest::qWait(kInterval * 3 / 4);
  const qint64 intervalSet = clock.elapsed();
  timer.SetInterval(kInterval);
  const qint64 firedAfterSet = firstFiringAfter(intervalSet);
  ASSERT_GE(firedAfterSet, 0);
  EXPECT_GE(firedAfterSet - intervalSet, kEarliest) << "setting the interval restarts the countdown";

  timer.SetInterval(0);
  const std::size_t firedWhenStopped = firedAt.size();
  QTest::qWait(kInterval * 2);
  EXPECT_EQ(firedAt.size(), firedWhenStopped) << "interval 0 stops it";
}

TEST(ControlsTest, CheckBoxClickAndTextBoxChangeFireForChangesByCode) {
  CheckBox box;
  QSignalSpy clicks(&box, &CheckBox::Click);
  box.SetValue(1);
  box.SetValue(1);
  box.SetValue(0);
  EXPECT_EQ(clicks.count(), 2);
  EXPECT_EQ(box.BackColor(), 0x808080u);

  TextBox text;
  QSignalSpy changes(&text, &TextBox::Change);
  text.setText("abc");
  EXPECT_EQ(changes.count(), 1);

  Label label;
  QSignalSpy captionChanges(&label, &Label::Change);
  label.SetCaption("x");
  label.SetCaption("x");
  EXPECT_EQ(captionChanges.count(), 1);
  label.SetBackColor(0xDC);
  EXPECT_EQ(label.BackColor(), 0xDCu);
}

TEST(ControlsTest, LabelButtonClicksOnlyForTheLeftButtonReleasedOverIt) {
  LabelButton button(nullptr, "Update");
  button.resize(80, 20);
  QSignalSpy clicks(&button, &Label::Click);
  QTest::mouseClick(&button, Qt::LeftButton);
  QTest::mouseClick(&button, Qt::RightButton);
  button.setEnabled(false);
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1);
}

TEST(FileDialogFilter, BecomesQtFiltersWithUpperCasePatternsToo) {
  EXPECT_EQ(QtFilterFromPlatform("WAV files (*.wav)|*.wav|MIDI files (*.mid; *.midi; *.rmi)|*.mid; *.midi; *.rmi|"),
            "WAV files (*.wav) (*.wav *.WAV);;MIDI files (*.mid; *.midi; *.rmi) (*.mid *.MID *.midi *.MIDI *.rmi *.RMI)");
  EXPECT_EQ(QtFilterFromPlatform(""), "");
}

TEST(Resources, PicturesAreFoundByNumber) {
  EXPECT_FALSE(LoadResPicture(109, ResKind::Bitmap).isNull());
  EXPECT_FALSE(LoadResIcon(201).isNull());
  EXPECT_TRUE(LoadResPicture(9999, ResKind::Bitmap).isNull());
  EXPECT_TRUE(HasResource(205, ResKind::Icon));
}

// Texts from audio headers come padded with zero bytes: the label keeps them and draws the
// text up to the first one, as the platform's labels did.
TEST(LabelTest, DrawsTheCaptionUpToItsFirstZeroByte) {
  const QString padded = QString::fromUtf8("Title\0\0\0\0\0\0\0\0", 13);
  Label plain(nullptr, "Title"), zeros(nullptr, padded), set(nullptr), inside(nullptr);
  set.SetCaption(padded);
  inside.SetCaption(QString::fromUtf8("Title\0tail", 10));
  EXPECT_EQ(zeros.Caption(), padded) << "the caption is kept whole";
  EXPECT_EQ(set.Caption(), padded);
  for (Label* l : {&plain, &zeros, &set, &inside}) l->resize(200, 20);
  const QImage expected = plain.grab().toImage();
  EXPECT_EQ(zeros.grab().toImage(), expected);
  EXPECT_EQ(set.grab().toImage(), expected);
  EXPECT_EQ(inside.grab().toImage(), expected) << "nothing after the first zero byte shows";
}
