#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>

#include "main/startup.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/launcher.h"
#include "platform/core/drives.h"
#include "support/app_fixture.h"
#include "support/pane_access.h"
#include "support/tree_access.h"
#include "support/player_access.h"

using testing_support::AppFixture;

namespace {

struct KeyCase {
  int code;
  int shift;
  FunctionKeyAction action;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << "key " << c.code << " shift " << c.shift; }

class FunctionKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(FunctionKeys, MapToPresetsEditorAndKeySheet) {
  EXPECT_EQ(FunctionKeyFor(GetParam().code, GetParam().shift), GetParam().action);
}

using K = FunctionKeyAction;
INSTANTIATE_TEST_SUITE_P(
    Table, FunctionKeys,
    ::testing::Values(KeyCase{112, 0, {K::Preset, 1}}, KeyCase{121, 0, {K::Preset, 10}},
                      KeyCase{114, 1, {K::Preset, 13}}, KeyCase{121, 1, {K::Preset, 20}},
                      KeyCase{114, 2, {}}, KeyCase{114, 4, {}}, KeyCase{114, 3, {}},
                      KeyCase{122, 0, {K::Configure, 0}}, KeyCase{122, 1, {}}, KeyCase{122, 2, {}},
                      KeyCase{123, 0, {K::PrintKeySheet, 0}}, KeyCase{123, 1, {}}, KeyCase{123, 4, {}},
                      KeyCase{65, 0, {}}, KeyCase{111, 0, {}}));

class MainWindowTest : public AppFixture {
 protected:
  void SetUp() override { WriteDefaultSettings(); }
};

TEST_F(MainWindowTest, LoadAnnouncesMissingSettingsAndWritesTheirDefaults) {
  drives.Remove(kDataPath);
  drives.MakeFolder(kDataPath);
  boxes.Answer(platform::vbOK);
  boxes.Answer(platform::vbOK);
  auto window = OpenMainWindow();
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find preference settings file C:\\app\\data\\prefs.dat.\n\rSwitching to defaults.");
  EXPECT_EQ(boxes.shown()[1].text,
            "Cannot find Tapdeck settings file C:\\app\\data\\preset.dat.\n\rSwitching to defaults.");
  for (const auto& box : boxes.shown()) {
    EXPECT_EQ(box.title, "Data File Missing");
    EXPECT_EQ(box.style, platform::vbExclamation);
  }
  EXPECT_TRUE(drives.Exists("C:\\app\\data\\prefs.dat"));
  EXPECT_TRUE(drives.Exists("C:\\app\\data\\preset.dat"));
}

// A folder where each settings file belongs: one box for each, saying what is wrong, and the
// folders keep what they hold.
TEST_F(MainWindowTest, LoadNamesAFolderInPlaceOfEachSettingsFileOnce) {
  for (const char* name : {"prefs.dat", "preset.dat"}) {
    const std::string file = std::string(kDataPath) + name;
    drives.Remove(file);
    drives.MakeFolder(file);
    drives.Write(file + "\\mine.txt", name);
  }
  boxes.Answer(platform::vbOK);
  boxes.Answer(platform::vbOK);
  auto window = OpenMainWindow();
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text,
            "The preference settings file C:\\app\\data\\prefs.dat is there but cannot be read or written as a "
            "file.\n\rSwitching to defaults; nothing is written in its place.");
  EXPECT_EQ(boxes.shown()[1].text,
            "The Tapdeck settings file C:\\app\\data\\preset.dat is there but cannot be read or written as a "
            "file.\n\rSwitching to defaults; nothing is written in its place.");
  for (const auto& box : boxes.shown()) EXPECT_EQ(box.title, "Data File Unusable");
  EXPECT_EQ(drives.Read("C:\\app\\data\\prefs.dat\\mine.txt"), "prefs.dat");
  EXPECT_EQ(drives.Read("C:\\app\\data\\preset.dat\\mine.txt"), "preset.dat");
  EXPECT_EQ(state.io.prefs.gWaveEditorPath, "None selected");
}

TEST_F(MainWindowTest, LoadBuildsTheDialogFilterAndTheTreeImages) {
  auto window = OpenMainWindow();
  EXPECT_EQ(state.launcher.gOpenFilter,
            "Audio files (all types)|*.wav; *.mp3; *.m3u; *.snd; *.au; *.aif; *.aifc; *.aiff; *.mid; *.midi; *.rmi|"
            "WAV files (*.wav)|*.wav|MP3 files (*.mp3; *.m3u)|*.mp3; *.m3u|"
            "MIDI files (*.mid; *.midi; *.rmi)|*.mid; *.midi; *.rmi|");
  std::vector<std::string> keys;
  for (const auto& [key, icon] : TreeTestAccess::Icons(window->Tree())) {
    keys.push_back(key);
    EXPECT_FALSE(icon.isNull()) << key;
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"groups", "clsdfold", "openfold", "audio_wav", "audio_aif", "audio_au",
                                            "audio_snd", "audio_mid", "audio_mp3", "audio_unk", "dragnode"}));
  EXPECT_EQ(window->windowTitle(), "Tolvan Audio Manager");
  EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window->btnExit->toolTip(), "Quit/Exit");
  EXPECT_FALSE(window->btnHelp->icon().isNull());
}

TEST_F(MainWindowTest, TwoHelpClicksStartTwoViewersFromTheProgramFolder) {
  auto window = OpenMainWindow();
  window->btnHelp->click();
  window->btnHelp->click();
  ASSERT_EQ(starter.starts().size(), 2u);
  std::string folder = drives.Host(kAppPath);
  for (const auto& s : starter.starts()) {
    EXPECT_EQ(s.program, folder + "/help.exe");
    EXPECT_EQ(s.args, std::vector<std::string>{"introduction.htm"});
    EXPECT_EQ(s.workingDir, folder);
  }
}

TEST_F(MainWindowTest, EditorNotConfigured) {
  auto window = OpenMainWindow();
  boxes.Answer(platform::vbOK);
  window->btnEditor->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "No waveform editor configured");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].text,
            "There is no wavefrom editor currently selected for use by Tolvan.\n\r\n\r"
            "You may configure Tolvan to use the editor of your choice\n\r"
            "by clicking the \"Tools/Preferences\" button and using the \n\r"
            "\"Waveform Editor\"configuration control,");
  EXPECT_TRUE(starter.starts().empty());
}

TEST_F(MainWindowTest, EditorThatNoLongerExists) {
  auto window = OpenMainWindow();
  state.io.prefs.gWaveEditorPath = "D:\\Tools\\gone.exe";
  boxes.Answer(platform::vbOK);
  window->btnEditor->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Invalid waveform editor");
  EXPECT_EQ(boxes.shown()[0].text,
            "Cannot find the currently configured editor program.\n\r\n\r"
            "You may fix the configured editor setting by clicking \n\r"
            "the \"Tools/Preferences\" button and using the \n\r"
            "\"Waveform Editor\"configuration control,");
  EXPECT_TRUE(starter.starts().empty());
}

// An editor of the host outside the mapped drives is kept by its host path and started.
TEST_F(MainWindowTest, AnEditorOutsideTheDrivesStartsByItsHostPath) {
  QTemporaryDir outside;
  ASSERT_TRUE(outside.isValid());
  const std::string editor = outside.filePath("wave-editor").toStdString();
  {
    std::ofstream(editor) << "#!/bin/sh\n";
  }
  ASSERT_FALSE(platform::DosPathOf(editor).has_value()) << "the folder lies on no drive";
  drives.Write("D:\\Music\\song.wav", "RIFF");
  auto window = OpenMainWindow();
  state.io.prefs.gWaveEditorPath = editor;
  state.io.prefs.gExportFile = 1;
  ShowInFileDetail(window->Pane(), "D:\\Music\\song.wav");
  window->btnEditor->click();
  ASSERT_EQ(starter.starts().size(), 1u);
  EXPECT_EQ(starter.starts()[0].program, editor);
  EXPECT_EQ(starter.starts()[0].args, std::vector<std::string>{drives.Host("D:\\Music\\song.wav")});

  state.io.prefs.gWaveEditorPath = editor + "-gone";
  boxes.Answer(platform::vbOK);
  window->btnEditor->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Invalid waveform editor");
  EXPECT_EQ(starter.starts().size(), 1u);
}

// The shown file's path reaches the editor as its own bytes, also where they are not UTF-8.
TEST_F(MainWindowTest, TheEditorGetsTheShownFilesPathByteForByte) {
  drives.Write("D:\\Tools\\edit", "#!");
  const std::string shown = "D:\\Music\\\xE9t\xE9.wav";
  drives.Write(shown, "RIFF");
  auto window = OpenMainWindow();
  state.io.prefs.gWaveEditorPath = "D:\\Tools\\edit";
  state.io.prefs.gExportFile = 1;
  ShowInFileDetail(window->Pane(), shown);
  window->btnEditor->click();
  ASSERT_EQ(starter.starts().size(), 1u);
  EXPECT_EQ(starter.starts()[0].args, std::vector<std::string>{drives.Host(shown)});
}

struct EditorCase {
  int exportFile;
  const char* viewTitle;
  bool passesFile;
};

void PrintTo(const EditorCase& c, std::ostream* os) { *os << "export " << c.exportFile << " in " << c.viewTitle; }

class EditorStart : public MainWindowTest, public ::testing::WithParamInterface<EditorCase> {};

TEST_P(EditorStart, PassesTheShownFileOnlyInFileDetailWithThePreferenceOn) {
  drives.Write("D:\\Tools\\wave edit", "#!");
  drives.Write("D:\\Music\\my song.wav", "RIFF");
  auto window = OpenMainWindow();
  state.io.prefs.gWaveEditorPath = "D:\\Tools\\wave edit";
  state.io.prefs.gExportFile = GetParam().exportFile;
  PaneTestAccess::ShowTitle(window->Pane(), GetParam().viewTitle);
  PaneUi(window->Pane()).txtDBDescription->setToolTip("D:\\Music\\my song.wav");
  PaneDb(MainPane()).gCurrentFilePath = "D:\\Music\\my song.wav";
  window->btnEditor->click();
  ASSERT_EQ(starter.starts().size(), 1u);
  const auto& s = starter.starts()[0];
  EXPECT_EQ(s.program, drives.Host("D:\\Tools\\wave edit"));
  if (GetParam().passesFile) {
    EXPECT_EQ(s.args, std::vector<std::string>{drives.Host("D:\\Music\\my song.wav")})
        << "one argument, blanks and all, in the host's own form";
  } else {
    EXPECT_TRUE(s.args.empty());
  }
  EXPECT_EQ(s.workingDir, drives.Host(kAppPath));
}

INSTANTIATE_TEST_SUITE_P(Cases, EditorStart,
                         ::testing::Values(EditorCase{1, "File Detail", true}, EditorCase{1, "System Inventory", false},
                                           EditorCase{0, "File Detail", false}));

TEST_F(MainWindowTest, HandledFunctionKeysAreConsumedOthersReachTheFocusedBox) {
  auto window = OpenMainWindow();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  PaneUi(window->Pane()).txtDBSearchText->setEnabled(true);
  PaneUi(window->Pane()).txtDBSearchText->show();
  PaneUi(window->Pane()).txtDBSearchText->setFocus();
  bool f5Seen = false;
  struct Spy : QObject {
    bool* seen;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F5) *seen = true;
      return false;
    }
  } spy;
  spy.seen = &f5Seen;
  PaneUi(window->Pane()).txtDBSearchText->installEventFilter(&spy);
  QTest::keyClick(PaneUi(window->Pane()).txtDBSearchText, Qt::Key_F5);
  EXPECT_FALSE(f5Seen) << "F5 is the main window's";
  QTest::keyClick(PaneUi(window->Pane()).txtDBSearchText, Qt::Key_F5, Qt::ControlModifier);
  EXPECT_TRUE(f5Seen) << "Ctrl+F5 is not, and goes on to the box";
  QTest::keyClicks(PaneUi(window->Pane()).txtDBSearchText, "ab");
  EXPECT_EQ(PaneUi(window->Pane()).txtDBSearchText->text(), "ab");
}

TEST_F(MainWindowTest, TheHandOverKeystrokeNeverReachesATextBox) {
  auto window = OpenMainWindow();
  window->show();
  PaneUi(window->Pane()).txtDBSearchText->setEnabled(true);
  PaneUi(window->Pane()).txtDBSearchText->show();
  PaneUi(window->Pane()).txtDBSearchText->setFocus();
  BringMainWindowToFront();
  EXPECT_EQ(PaneUi(window->Pane()).txtDBSearchText->text(), "");
  EXPECT_TRUE(window->isVisible());
}

// Only the window's own background drags it; a press on a control, also one the control
// does not use, does not.
TEST_F(MainWindowTest, APressDragsTheWindowOnlyOnItsBackground) {
  auto window = OpenMainWindow();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  PaneUi(window->Pane()).btnPlay->setEnabled(false);
  const PlayerAreaControls& area = PlayerUi(window->Player());
  for (QWidget* control : std::initializer_list<QWidget*>{area.pbrPlayFile, area.lblPlayFileName,
                                                          PaneUi(window->Pane()).lblDBViewTitle, PaneUi(window->Pane()).btnPlay,
                                                          TreeTestAccess::Groups(window->Tree())}) {
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) QTest::mousePress(control, b, {}, QPoint(4, 4));
    EXPECT_EQ(window->WindowDragsStarted(), 0) << control->metaObject()->className();
  }
  const QPoint background(600, 500);
  // No control there: the skin, or the pane's own ground between its controls.
  QWidget* hit = window->childAt(background);
  ASSERT_TRUE(hit == nullptr || hit == &window->Pane()) << hit->metaObject()->className();
  QTest::mousePress(window.get(), Qt::LeftButton, {}, background);
  QTest::mousePress(window.get(), Qt::RightButton, {}, background);
  EXPECT_EQ(window->WindowDragsStarted(), 2);
}

// A drag from the background moves the window by exactly the pointer's movement, with any
// button and however the drags follow one another; another button pressed during a drag takes
// it over from where the window is, and its release ends it.
TEST_F(MainWindowTest, ADragMovesTheWindowByExactlyThePointersMovement) {
  auto window = OpenMainWindow();
  window->move(100, 100);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  auto send = [&window](QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint global) {
    QMouseEvent e(type, QPointF(window->mapFromGlobal(global)), QPointF(global), button, held, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &e);
  };
  const QPoint background(600, 500);
  struct Drag {
    Qt::MouseButton button;
    QPoint by;
  };
  QPoint expected = window->pos();
  for (const Drag& d : {Drag{Qt::RightButton, {20, 20}}, Drag{Qt::RightButton, {20, 20}}, Drag{Qt::LeftButton, {20, 20}},
                        Drag{Qt::MiddleButton, {-30, 10}}, Drag{Qt::LeftButton, {-15, -25}}}) {
    const QPoint start = window->mapToGlobal(background);
    send(QEvent::MouseButtonPress, d.button, d.button, start);
    for (int i = 1; i <= 4; ++i) send(QEvent::MouseMove, Qt::NoButton, d.button, start + d.by * i / 4);
    send(QEvent::MouseButtonRelease, d.button, Qt::NoButton, start + d.by);
    expected += d.by;
    EXPECT_EQ(window->pos(), expected) << "button " << d.button;
  }

  const QPoint start = window->mapToGlobal(background);
  send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(5, 5));
  send(QEvent::MouseButtonPress, Qt::RightButton, Qt::LeftButton | Qt::RightButton, start + QPoint(5, 5));
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton, start + QPoint(9, 2));
  send(QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton, start + QPoint(9, 2));
  expected += QPoint(9, 2);
  EXPECT_EQ(window->pos(), expected);
  send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(12, -7));
  send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start + QPoint(12, -7));
  send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, start + QPoint(60, 60));
  EXPECT_EQ(window->pos(), expected) << "the drag ended with its button";
}

TEST_F(MainWindowTest, OnlyExitClosesTheWindow) {
  auto window = OpenMainWindow();
  window->show();
  window->close();
  EXPECT_TRUE(window->isVisible()) << "no Close: the window has no caption bar and ignores the request";
  window->btnMinimize->click();
  EXPECT_TRUE(window->windowState() & Qt::WindowMinimized);
}

}  // namespace
