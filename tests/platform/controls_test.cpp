#include <gtest/gtest.h>

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

TEST(VbTimerTest, EnablingAnEnabledTimerDoesNotRestartItSettingTheIntervalDoes) {
  VbTimer timer(nullptr, 200);
  QSignalSpy fired(&timer, &VbTimer::Timer);
  timer.SetEnabled(true);
  QTest::qWait(120);
  timer.SetEnabled(true);  // no restart: it still fires about 200 ms after the first enable
  QTest::qWait(130);
  EXPECT_EQ(fired.count(), 1);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  QTest::qWait(120);
  timer.SetInterval(200);  // restarts the countdown
  QTest::qWait(130);
  EXPECT_EQ(fired.count(), 1);
  QTest::qWait(120);
  EXPECT_EQ(fired.count(), 2);
  timer.SetInterval(0);
  QTest::qWait(250);
  EXPECT_EQ(fired.count(), 2) << "interval 0 stops it";
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
