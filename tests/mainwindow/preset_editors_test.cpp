#include <gtest/gtest.h>

#include <QTest>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "main/declarations.h"
#include "platform/core/errors.h"
#include "mainwindow/frmEditTapdeck.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmTDButtonConfig.h"
#include "mainwindow/launcher.h"
#include "support/window_steps.h"
#include "platform/core/files.h"
#include "support/app_fixture.h"
#include "support/preset_access.h"

using testing_support::AppFixture;

namespace {

constexpr std::uint32_t kRed = 255;
constexpr std::uint32_t kGrey = 0x808080;

// preset.dat as it should read: the given lines, "n,,False" for the others.
std::string PresetFile(const std::map<int, std::string>& lines) {
  std::string file;
  for (int n = 1; n <= 20; ++n) {
    auto it = lines.find(n);
    file += (it != lines.end() ? it->second : std::to_string(n) + ",,False") + "\r\n";
  }
  return file;
}

const char* const kBreak = "\n\r\n\r";

class EditorTest : public AppFixture {
 protected:
  void SetUp() override {
    WriteDefaultSettings();
    window = OpenMainWindow();
    for (const char* f : {"C:\\Sounds\\intro.wav", "C:\\Sounds\\b.wav", "C:\\Sounds\\c.wav", "D:\\Music\\drop.wav"})
      drives.Write(f, "RIFF");
    auto& p = state.io.presets;
    p.gPresetCaptions[2] = "Intro";
    p.gPresetPaths[2] = "C:\\Sounds\\intro.wav";
    p.gPresetLoop[2] = "True";
    window->Bank().RefreshPresetButtons();
    before = drives.Read(state.decl.files.gPresetFile);
  }

  std::string PresetDat() const { return drives.Read(state.decl.files.gPresetFile); }

  template <typename Form>
  void ShowActive(Form& form) {
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  }

  std::unique_ptr<frmLauncher> window;
  std::string before;
};

TEST_F(EditorTest, TheAllPresetsEditorOpensOnThePresetsUnmarked) {
  frmEditTapdeck form(window.get());
  form.Form_Load();
  EXPECT_EQ(form.windowTitle(), "Tap Decker Configuration");
  EXPECT_EQ(form.txtCaption[3]->text(), "Intro");
  EXPECT_EQ(form.txtFilePath[3]->text(), "C:\\Sounds\\intro.wav");
  EXPECT_EQ(form.txtFilePath[3]->toolTip(), "C:\\Sounds\\intro.wav");
  EXPECT_EQ(form.chkLoop[3]->Value(), 1);
  EXPECT_EQ(form.chkLoop[4]->Value(), 0);
  EXPECT_EQ(form.lblPreset[12]->Caption(), "12");
  EXPECT_EQ(form.txtCaption[12]->text(), "12");
  EXPECT_EQ(form.lblFilePathB->Caption(), "File/Path");
  for (int n = 1; n <= 20; ++n) {
    EXPECT_EQ(form.chkLoop[n]->BackColor(), kGrey) << n;
    EXPECT_EQ(form.txtCaption[n]->ForeColor(), 0u) << n;
    EXPECT_EQ(form.txtFilePath[n]->ForeColor(), 0u) << n;
  }
  EXPECT_FALSE(form.btnApply->isEnabled());
  EXPECT_TRUE(state.launcher.gEditArmed);
  EXPECT_EQ(PathsSavedBy(form)[2], "C:\\Sounds\\intro.wav");
}

// --- Cancel -------------------------------------------------------------------------------

enum class Editor { All, One };
enum class Edit { None, LoopBackAndForth, Caption };

// The all-presets editor, or the one-preset editor on preset `index`, loaded.
std::unique_ptr<TapdeckEditor> LoadEditor(Editor editor, ProgramState& state, frmLauncher* main, int index) {
  state.launcher.gPresetIndex = index;
  std::unique_ptr<TapdeckEditor> form;
  if (editor == Editor::All) {
    form = std::make_unique<frmEditTapdeck>(main);
  } else {
    form = std::make_unique<frmTDButtonConfig>(main);
  }
  form->Form_Load();
  return form;
}

void PrintTo(Editor e, std::ostream* os) { *os << (e == Editor::All ? "all presets" : "one preset"); }

struct CancelCase {
  Editor editor;
  Edit edit;
  int answer;  // 0: no question expected
  bool closes;
};

void PrintTo(const CancelCase& c, std::ostream* os) {
  *os << (c.editor == Editor::All ? "all" : "one") << " edit " << static_cast<int>(c.edit) << " answer " << c.answer;
}

class Cancel : public EditorTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(Cancel, AsksOnlyWithPendingEditsAndStoresNothing) {
  const CancelCase& c = GetParam();
  std::unique_ptr<TapdeckEditor> form = LoadEditor(c.editor, state, window.get(), 3);
  form->show();
  const TapdeckEditor::Row& row = form->rows()[c.editor == Editor::All ? 2 : 0];
  ASSERT_EQ(row.n, 3);
  if (c.edit == Edit::LoopBackAndForth) {
    row.chkLoop->SetValue(0);
    row.chkLoop->SetValue(1);
    EXPECT_EQ(row.chkLoop->BackColor(), kRed) << "the mark stays";
  } else if (c.edit == Edit::Caption) {
    row.txtCaption->setText("Changed");
  }
  if (c.answer) boxes.Answer(c.answer);
  form->btnCancel->click();

  if (c.answer) {
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "Changes Not Saved");
    EXPECT_EQ(boxes.shown()[0].style, 308);
    EXPECT_EQ(boxes.shown()[0].text,
              std::string(c.editor == Editor::All ? "Changes to presets have been made but not saved."
                                                  : "Changes to this preset have been made but not saved.") +
                  "\r\nDo you wish to exit without saving the changes?");
  } else {
    EXPECT_TRUE(boxes.shown().empty());
  }
  EXPECT_EQ(form->isVisible(), !c.closes);
  EXPECT_EQ(state.launcher.gEditArmed, !c.closes);
  EXPECT_EQ(state.io.presets.gPresetLoop[2], "True");
  EXPECT_EQ(state.io.presets.gPresetCaptions[2], "Intro");
  EXPECT_EQ(PresetDat(), before);
}

INSTANTIATE_TEST_SUITE_P(Table, Cancel,
                         ::testing::Values(CancelCase{Editor::All, Edit::None, 0, true},
                                           CancelCase{Editor::One, Edit::None, 0, true},
                                           CancelCase{Editor::All, Edit::LoopBackAndForth, platform::vbYes, true},
                                           CancelCase{Editor::One, Edit::LoopBackAndForth, platform::vbNo, false},
                                           CancelCase{Editor::All, Edit::Caption, platform::vbNo, false},
                                           CancelCase{Editor::One, Edit::Caption, platform::vbYes, true}));

// Escape and the window manager's close take the way of Cancel, question included.
class OtherWaysOut : public EditorTest, public ::testing::WithParamInterface<std::tuple<Editor, bool>> {};

TEST_P(OtherWaysOut, AskAsCancelDoes) {
  const auto [editor, escape] = GetParam();
  std::unique_ptr<TapdeckEditor> form = LoadEditor(editor, state, window.get(), 3);
  form->show();
  form->rows()[editor == Editor::All ? 2 : 0].txtCaption->setText("Changed");
  auto leave = [&, escape = escape] {
    if (escape) {
      QTest::keyClick(form.get(), Qt::Key_Escape);
    } else {
      form->close();
    }
  };
  boxes.Answer(platform::vbNo);
  leave();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "Changes Not Saved");
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(state.launcher.gEditArmed);
  boxes.Answer(platform::vbYes);
  leave();
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(state.launcher.gEditArmed);
  EXPECT_EQ(state.io.presets.gPresetCaptions[2], "Intro");
  EXPECT_EQ(PresetDat(), before);
}

INSTANTIATE_TEST_SUITE_P(Table, OtherWaysOut,
                         ::testing::Combine(::testing::Values(Editor::All, Editor::One), ::testing::Bool()));

// --- commit -------------------------------------------------------------------------------

TEST_F(EditorTest, ApplyTakesNoRowWhileOnePathIsInvalidThenAllOnceItIsMended) {
  frmEditTapdeck form(window.get());
  form.Form_Load();
  ShowActive(form);
  form.txtCaption[3]->setText("Opening");
  form.txtFilePath[15]->setText("C:\\Sounds\\b.wav");
  form.txtFilePath[12]->setText("C:\\Sounds\\missing.wav");
  EXPECT_EQ(form.txtCaption[3]->ForeColor(), kRed);
  EXPECT_TRUE(form.btnApply->isEnabled());

  boxes.Answer(platform::vbOK);
  form.btnApply->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "File Not Found");
  EXPECT_EQ(boxes.shown()[0].style, platform::vbExclamation);
  EXPECT_EQ(boxes.shown()[0].text, std::string("The following Tap Deck position and file path ") + kBreak +
                                       "12:  C:\\Sounds\\missing.wav" + kBreak +
                                       "is not valid. Check the path and file name for accuracy.");
  EXPECT_TRUE(form.txtFilePath[12]->hasFocus());
  EXPECT_EQ(state.io.presets.gPresetCaptions[2], "Intro") << "rows before the bad one are not taken either";
  EXPECT_EQ(state.io.presets.gPresetPaths[14], "");
  EXPECT_EQ(PresetDat(), before);
  EXPECT_EQ(window->Bank().PresetButtonCaption(3), "Intro");
  EXPECT_TRUE(form.btnApply->isEnabled());
  EXPECT_EQ(form.txtCaption[3]->ForeColor(), kRed);

  form.txtFilePath[12]->setText("C:\\Sounds\\c.wav");
  form.btnApply->click();
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(PresetDat(), PresetFile({{3, "Opening,C:\\Sounds\\intro.wav,True"},
                                     {12, "12,C:\\Sounds\\c.wav,False"},
                                     {15, "15,C:\\Sounds\\b.wav,False"}}));
  EXPECT_TRUE(platform::IsReadOnly(state.decl.files.gPresetFile));
  EXPECT_EQ(window->Bank().PresetButtonCaption(3), "Opening");
  EXPECT_TRUE(BankUi(window->Bank()).btnPreset[15]->font().bold());
  EXPECT_TRUE(form.isVisible()) << "Apply keeps the window open";
  EXPECT_FALSE(form.btnApply->isEnabled());
  EXPECT_EQ(form.txtFilePath[12]->toolTip(), "C:\\Sounds\\c.wav");
  for (int n : {3, 12, 15}) {
    EXPECT_EQ(form.txtCaption[n]->ForeColor(), 0u);
    EXPECT_EQ(form.txtFilePath[n]->ForeColor(), 0u);
  }

  // The marks compare with what the window opened on, not with what Apply stored.
  form.txtCaption[3]->setText("Intro");
  EXPECT_EQ(form.txtCaption[3]->ForeColor(), 0u);
  EXPECT_FALSE(form.btnApply->isEnabled());
  form.txtCaption[3]->setText("Other");
  EXPECT_EQ(form.txtCaption[3]->ForeColor(), kRed);
  EXPECT_TRUE(form.btnApply->isEnabled());
}

TEST_F(EditorTest, OkStoresTheRowsAndCloses_ACaptionWithoutPathBecomesTheNumber) {
  frmEditTapdeck form(window.get());
  form.Form_Load();
  form.show();
  form.txtCaption[7]->setText("Nothing here");
  form.chkLoop[3]->SetValue(0);
  EXPECT_EQ(form.chkLoop[3]->BackColor(), kRed);
  form.btnOK->click();
  EXPECT_TRUE(boxes.shown().empty());
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(state.launcher.gEditArmed);
  EXPECT_EQ(PresetDat(), PresetFile({{3, "Intro,C:\\Sounds\\intro.wav,False"}}));
  EXPECT_EQ(window->Bank().PresetButtonCaption(7), "7");
  EXPECT_EQ(state.io.presets.gPresetLoop[2], "False");
}

TEST_F(EditorTest, ADropOnAPresetStoresTheEmptyNoteCaptionOnOk) {
  state.io.presets.gPresetCaptions[4] = "Fanfare";
  state.io.presets.gPresetPaths[4] = "C:\\Sounds\\b.wav";
  window->Bank().RefreshPresetButtons();
  LauncherState& s = state.launcher;
  s.gPresetIndex = 5;
  s.gPrefillPath = "D:\\Music\\drop.wav";
  s.gPrefillPending = true;
  frmTDButtonConfig form(window.get());
  form.Form_Load();
  EXPECT_EQ(form.windowTitle(), "Configure Tap Deck Button");
  EXPECT_EQ(form.lblButtonNumber->Caption(), "5");
  EXPECT_EQ(form.txtFilePath->text(), "D:\\Music\\drop.wav");
  EXPECT_EQ(form.txtCaption->text(), "");
  EXPECT_EQ(form.txtCaption->ForeColor(), kRed);
  EXPECT_EQ(form.chkLoop->BackColor(), kGrey);
  form.show();
  form.btnOK->click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(PresetDat(), PresetFile({{3, "Intro,C:\\Sounds\\intro.wav,True"}, {5, ",D:\\Music\\drop.wav,False"}}));
  EXPECT_EQ(window->Bank().PresetButtonCaption(5), "");
  EXPECT_TRUE(BankUi(window->Bank()).btnPreset[5]->font().bold());
}

TEST_F(EditorTest, TheOnePresetEditorNamesItsPositionForAnInvalidPath) {
  state.launcher.gPresetIndex = 8;
  frmTDButtonConfig form(window.get());
  form.Form_Load();
  ShowActive(form);
  form.txtFilePath->setText("Q:\\nowhere\\x.wav");
  boxes.Answer(platform::vbOK);
  form.btnOK->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, std::string("The following Tap Deck position and file path ") + kBreak +
                                       "8:  Q:\\nowhere\\x.wav" + kBreak +
                                       "is not valid. Check the path and file name for accuracy.");
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(form.txtFilePath->hasFocus());
  EXPECT_EQ(state.io.presets.gPresetPaths[7], "");
  EXPECT_EQ(PresetDat(), before);
}

// A commit whose preset.dat cannot be written (a full disk) is told, and takes nothing: the
// presets and their buttons stay as stored, the window stays open with its edits marked (Apply
// still enabled), and the same commit goes through once the file can be written.
struct FailedSaveCase {
  Editor editor;
  bool apply;
};

void PrintTo(const FailedSaveCase& c, std::ostream* os) {
  *os << (c.editor == Editor::All ? "all presets" : "one preset") << (c.apply ? " Apply" : " OK");
}

class FailedSave : public EditorTest, public ::testing::WithParamInterface<FailedSaveCase> {};

TEST_P(FailedSave, LeavesTheEditsUnsavedInTheOpenWindow) {
  const FailedSaveCase& c = GetParam();
  std::unique_ptr<TapdeckEditor> form = LoadEditor(c.editor, state, window.get(), 3);
  ShowActive(*form);
  const TapdeckEditor::Row& row = form->rows()[c.editor == Editor::All ? 2 : 0];
  row.txtCaption->setText("Opening");
  row.txtFilePath->setText("C:\\Sounds\\b.wav");
  row.chkLoop->SetValue(0);
  auto commit = [&] {
    if (c.apply) {
      static_cast<frmEditTapdeck&>(*form).btnApply->click();
    } else {
      form->btnOK->click();
    }
  };

  ASSERT_TRUE(FailsToWrite([&] { commit(); }));
  EXPECT_EQ(PresetDat(), before);
  EXPECT_EQ(state.io.presets.gPresetCaptions[2], "Intro");
  EXPECT_EQ(state.io.presets.gPresetPaths[2], "C:\\Sounds\\intro.wav");
  EXPECT_EQ(state.io.presets.gPresetLoop[2], "True");
  EXPECT_EQ(window->Bank().PresetButtonCaption(3), "Intro");
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(state.launcher.gEditArmed);
  EXPECT_EQ(row.txtCaption->ForeColor(), kRed);
  EXPECT_EQ(row.txtFilePath->ForeColor(), kRed);
  EXPECT_EQ(row.chkLoop->BackColor(), kRed);
  EXPECT_EQ(row.txtFilePath->toolTip(), "C:\\Sounds\\intro.wav");
  if (c.editor == Editor::All) {
    EXPECT_TRUE(static_cast<frmEditTapdeck&>(*form).btnApply->isEnabled());
  }

  commit();
  EXPECT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(PresetDat(), PresetFile({{3, "Opening,C:\\Sounds\\b.wav,False"}}));
  EXPECT_EQ(window->Bank().PresetButtonCaption(3), "Opening");
  EXPECT_EQ(form->isVisible(), c.apply);
  if (c.apply) {
    EXPECT_EQ(row.txtCaption->ForeColor(), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FailedSave,
                         ::testing::Values(FailedSaveCase{Editor::All, true}, FailedSaveCase{Editor::All, false},
                                           FailedSaveCase{Editor::One, false}));

// --- browse and help ----------------------------------------------------------------------

class BothEditors : public EditorTest, public ::testing::WithParamInterface<Editor> {
 protected:
  std::unique_ptr<TapdeckEditor> Open() { return LoadEditor(GetParam(), state, window.get(), 4); }
  const TapdeckEditor::Row& Row4(const TapdeckEditor& form) { return form.rows()[GetParam() == Editor::All ? 3 : 0]; }
};

TEST_P(BothEditors, BrowseFillsThePathFromTheDialogAndACancelChangesNothing) {
  state.io.prefs.gBrowsePath = "D:\\Music\\";
  auto form = Open();
  const TapdeckEditor::Row& row = Row4(*form);
  dialogs.Cancel();
  row.btnBrowse->click();
  EXPECT_EQ(row.txtFilePath->text(), "");
  EXPECT_EQ(row.txtFilePath->ForeColor(), 0u);
  dialogs.Choose("D:\\Music\\drop.wav");
  row.btnBrowse->click();
  EXPECT_EQ(row.txtFilePath->text(), "D:\\Music\\drop.wav");
  EXPECT_EQ(row.txtFilePath->ForeColor(), kRed);
  ASSERT_EQ(dialogs.requests().size(), 2u);
  const auto& request = dialogs.requests()[1];
  EXPECT_FALSE(request.save);
  EXPECT_EQ(request.filter, state.launcher.gOpenFilter);
  EXPECT_EQ(request.initDir, "D:\\Music\\");
  EXPECT_EQ(request.flags, 4);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_P(BothEditors, ADialogErrorIsShownUnderTheProgramsTitle) {
  auto form = Open();
  const TapdeckEditor::Row& row = Row4(*form);
  boxes.Answer(platform::vbOK);
  dialogs.Fail(platform::errPathNotFound);
  row.btnBrowse->click();
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text, platform::VbError::DescribeError(platform::errPathNotFound));
  EXPECT_EQ(boxes.shown()[0].style, platform::vbOKOnly);
  EXPECT_EQ(boxes.shown()[0].title, "Tolvan Audio Manager");
  EXPECT_EQ(row.txtFilePath->text(), "");
}

TEST_P(BothEditors, HelpStartsTheViewerOnTheEditorsPage) {
  auto form = Open();
  form->btnEditTDHelp->click();
  ASSERT_EQ(starter.starts().size(), 1u);
  EXPECT_EQ(starter.starts()[0].args,
            std::vector<std::string>{GetParam() == Editor::All ? "tdprogroup.htm" : "tdprosolo.htm"});
  EXPECT_FALSE(form->windowIcon().isNull());
  EXPECT_FALSE(form->btnEditTDHelp->icon().isNull());
}

INSTANTIATE_TEST_SUITE_P(Editors, BothEditors, ::testing::Values(Editor::All, Editor::One),
                         [](const auto& info) { return info.param == Editor::All ? "All" : "One"; });

// Each editor opens with the focus in its first caption box, also after a drop filled in the
// path; Tab goes on to the path box beside it.
class FirstBox : public EditorTest, public ::testing::WithParamInterface<std::tuple<Editor, bool>> {};

TEST_P(FirstBox, TheEditorOpensWithTheFocusInItsFirstCaptionBox) {
  const auto [editor, dropped] = GetParam();
  LauncherState& s = state.launcher;
  s.gPresetIndex = 3;
  s.gPrefillPath = "D:\\Music\\drop.wav";
  s.gPrefillPending = dropped;
  if (dropped) boxes.Answer(platform::vbYes);  // what the drop brought is a pending edit
  auto check = [](TapdeckEditor& form) {
    const TapdeckEditor::Row& first = form.rows().front();
    ASSERT_EQ(form.focusWidget(), first.txtCaption);
    QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form.focusWidget(), first.txtFilePath);
    form.btnCancel_Click();
  };
  if (editor == Editor::All) {
    auto steps = testing_support::OnModal<frmEditTapdeck>(check);
    frmEditTapdeck(window.get()).ShowModal();
    EXPECT_TRUE(steps.done());
  } else {
    auto steps = testing_support::OnModal<frmTDButtonConfig>([&, dropped = dropped](frmTDButtonConfig& f) {
      EXPECT_EQ(f.txtFilePath->text(), dropped ? "D:\\Music\\drop.wav" : "C:\\Sounds\\intro.wav");
      check(f);
    });
    frmTDButtonConfig(window.get()).ShowModal();
    EXPECT_TRUE(steps.done());
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FirstBox,
                         ::testing::Values(std::make_tuple(Editor::All, false), std::make_tuple(Editor::One, false),
                                           std::make_tuple(Editor::One, true)));

// --- opened from the main window ----------------------------------------------------------

TEST_F(EditorTest, F11OpensTheAllPresetsEditorModally) {
  auto steps = testing_support::OnModal<frmEditTapdeck>([](frmEditTapdeck& form) {
    form.txtCaption[1]->setText("Opener");
    form.txtFilePath[1]->setText("C:\\Sounds\\b.wav");
    form.chkLoop[1]->SetValue(1);
    form.btnOK->click();
  });
  bool handled = false;
  window->Form_KeyDown(122, 0, handled);
  EXPECT_TRUE(handled);
  EXPECT_TRUE(steps.done());
  EXPECT_EQ(PresetDat(), PresetFile({{1, "Opener,C:\\Sounds\\b.wav,True"}, {3, "Intro,C:\\Sounds\\intro.wav,True"}}));
  EXPECT_EQ(window->Bank().PresetButtonCaption(1), "Opener");
}

}  // namespace
