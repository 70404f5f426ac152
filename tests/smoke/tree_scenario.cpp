// The groups tree as a user works it: every item of its popup on each kind of node, each tree
// dialog's OK and Cancel, double clicks on entries whose files are there and gone, and Exit.
#include <QMessageBox>

#include "mainwindow/frmAddFile.h"
#include "mainwindow/frmAddGroup.h"
#include "main/startup.h"
#include "mainwindow/frmLauncher.h"
#include "mainwindow/frmTvwPopUp.h"
#include "smoke/scenarios.h"
#include "smoke/screen.h"
#include "support/tree_access.h"
#include "support/player_access.h"

namespace smoke {
namespace {

frmLauncher& Launcher() { return *MainWindowOrNull(); }
frmTvwPopUp* Popup() { return MainWindowOrNull() ? TreeTestAccess::Popup(MainWindowOrNull()->Tree()) : nullptr; }
bool PopupShown() { return Popup() && !Popup()->unloaded() && Popup()->isVisible(); }
bool PopupGone() { return !Popup() || Popup()->unloaded(); }
// No node is left in the popup's navy highlight.
bool NoNodeHighlighted() {
  for (const platform::TreeNode* node : TreeTestAccess::Groups(Launcher().Tree())->Nodes().Nodes()) {
    if (node->backColor != 0xFFFFFF) return false;
  }
  return true;
}
bool Settled() { return NoDialog() && PopupGone() && NoNodeHighlighted(); }

void RightClickNode(Scenario& s, const std::string& text) {
  s.Step("right-click \"" + text + "\"", [text] { Click(TreeNodePoint(*TreeTestAccess::Groups(Launcher().Tree()), text), 3); },
         PopupShown);
}

void ClickItem(Scenario& s, const std::string& caption, platform::Label* frmTvwPopUp::*item,
               Scenario::Condition until) {
  s.Step("click the popup's" + caption, [item] { Click(CentreOf(Popup()->*item)); }, std::move(until));
}

template <typename T>
bool Showing() {
  return Dialog<T>() && Dialog<T>()->isVisible();
}

}  // namespace

void TreeScenario(Scenario& s, Machine& m) {
  const std::string groupsAtStart = m.GroupsDat();
  s.WaitFor("the main window", [] { return MainWindowOrNull() && MainWindowOrNull()->isVisible() && NoDialog(); });
  s.Pause(300);

  // The root: only Add Group is offered; a press on a disabled item does nothing.
  RightClickNode(s, "Groups");
  s.Check("on the root only Add Group and nothing else is enabled", [] {
    const frmTvwPopUp* p = Popup();
    return p->lblAddGroup->isEnabled() && !p->lblAddFile->isEnabled() && !p->lblEditNode->isEnabled() &&
           !p->lblRenameNode->isEnabled() && !p->lblDeleteNode->isEnabled();
  });
  ClickItem(s, " Delete (disabled)", &frmTvwPopUp::lblDeleteNode, {});
  s.Pause(300);
  s.Check("the popup is still up", PopupShown);
  s.Step("click the main window's background", [] { Click(Launcher().mapToGlobal(QPoint(8, 200))); }, Settled);
  s.Check("groups.dat untouched", [&m, groupsAtStart] { return m.GroupsDat() == groupsAtStart; });

  // Add Group under the root: Cancel, then OK.
  RightClickNode(s, "Groups");
  ClickItem(s, " Add Group", &frmTvwPopUp::lblAddGroup, Showing<frmAddGroup>);
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmAddGroup>()->btnCancel)); }, Settled);
  s.Check("groups.dat untouched", [&m, groupsAtStart] { return m.GroupsDat() == groupsAtStart; });
  RightClickNode(s, "Groups");
  ClickItem(s, " Add Group", &frmTvwPopUp::lblAddGroup, Showing<frmAddGroup>);
  s.Step("type the name \"Jazz\" (the dialog opens with the focus in its box)", [] { Type("Jazz"); },
         [] { return Dialog<frmAddGroup>()->txtNewGroup->text() == "Jazz"; });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmAddGroup>()->btnOK)); }, Settled);
  s.Check("groups.dat holds Groups/Jazz", [&m] { return m.HasNode("Groups/Jazz"); });

  // A group with entries: Add File (Cancel, then OK through the file dialog), Add Group,
  // Rename, Delete answered No.
  RightClickNode(s, "Rock");
  s.Check("on a group all but Edit File are enabled", [] {
    const frmTvwPopUp* p = Popup();
    return p->lblAddGroup->isEnabled() && p->lblAddFile->isEnabled() && !p->lblEditNode->isEnabled() &&
           p->lblRenameNode->isEnabled() && p->lblDeleteNode->isEnabled();
  });
  // The item under the pointer is lit navy on white, on the screen; a disabled one is not.
  s.Step("point at Add Group", [] { MoveTo(CentreOf(Popup()->lblAddGroup)); },
         [] { return BackOnScreen(Popup()->lblAddGroup) == 0x800000; });
  s.Step("point at Edit File (disabled)", [] { MoveTo(CentreOf(Popup()->lblEditNode)); },
         [] { return BackOnScreen(Popup()->lblAddGroup) != 0x800000; });
  s.Check("no item is lit", [] { return BackOnScreen(Popup()->lblEditNode) != 0x800000; });
  ClickItem(s, " Add File", &frmTvwPopUp::lblAddFile, Showing<frmAddFile>);
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmAddFile>()->btnCancel)); }, Settled);
  RightClickNode(s, "Rock");
  ClickItem(s, " Add File", &frmTvwPopUp::lblAddFile, Showing<frmAddFile>);
  TypeIn(s, "the caption \"Long\"", [] { return Dialog<frmAddFile>()->txtNewFileCaption; }, "Long");
  s.Step("browse", [] { Click(CentreOf(Dialog<frmAddFile>()->btnBrowse)); }, [] { return FileDialog() != nullptr; });
  s.Step("cancel the file dialog", CancelFileDialog, Showing<frmAddFile>);
  s.Step("browse again", [] { Click(CentreOf(Dialog<frmAddFile>()->btnBrowse)); },
         [] { return FileDialog() != nullptr; });
  ChooseIn(s, "choose long.wav", [&m] { return m.Host("C:\\Music\\long.wav"); },
         [] { return Showing<frmAddFile>() && Dialog<frmAddFile>()->txtNewFilePath->text() == "C:\\Music\\long.wav"; });
  s.Step("OK", [] { Click(CentreOf(Dialog<frmAddFile>()->btnOK)); }, Settled);
  s.Check("groups.dat holds Rock/Long", [&m] { return m.HasNode("Rock/Long"); });

  RightClickNode(s, "Rock");
  ClickItem(s, " Add Group", &frmTvwPopUp::lblAddGroup, Showing<frmAddGroup>);
  TypeIn(s, "the name \"Live\"", [] { return Dialog<frmAddGroup>()->txtNewGroup; }, "Live");
  s.Step("OK", [] { Click(CentreOf(Dialog<frmAddGroup>()->btnOK)); }, Settled);
  s.Check("groups.dat holds Rock/Live", [&m] { return m.HasNode("Rock/Live"); });

  RightClickNode(s, "Rock");
  ClickItem(s, " Delete", &frmTvwPopUp::lblDeleteNode, [] { return Box("Group Delete Selected") != nullptr; });
  s.Step("answer No", [] { Answer("Group Delete Selected", "No"); }, Settled);
  s.Check("Rock and its entries are still there",
          [&m] { return m.HasNode("Groups/Rock") && m.HasNode("Rock/Song") && m.HasNode("Rock/Live"); });

  RightClickNode(s, "Rock");
  ClickItem(s, " Rename", &frmTvwPopUp::lblRenameNode, PopupGone);
  s.Step("type \"Pop\" and Return", [] { Keys("ctrl+a"); Type("Pop"); Keys("Return"); },
         [&m] { return m.HasNode("Groups/Pop"); });
  s.Check("Rock is renamed Pop with its entries", [&m] { return !m.HasNode("Groups/Rock") && m.HasNode("Pop/Song"); });
  s.WaitFor("no highlight left", Settled);

  // A file entry: Edit File (Cancel after a change, then OK), and the entries' double clicks.
  RightClickNode(s, "Song");
  s.Check("on a file entry only Edit File and Delete are enabled", [] {
    const frmTvwPopUp* p = Popup();
    return !p->lblAddGroup->isEnabled() && !p->lblAddFile->isEnabled() && p->lblEditNode->isEnabled() &&
           !p->lblRenameNode->isEnabled() && p->lblDeleteNode->isEnabled();
  });
  ClickItem(s, " Edit File", &frmTvwPopUp::lblEditNode, Showing<frmEditFile>);
  TypeIn(s, "the caption \"Tune\"", [] { return Dialog<frmEditFile>()->txtCaption; }, "Tune");
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmEditFile>()->btnCancel)); },
         [] { return Box("Changes Not Saved") != nullptr; });
  s.Step("answer Yes", [] { Answer("Changes Not Saved", "Yes"); }, Settled);
  s.Check("Song is unchanged", [&m] { return m.HasNode("Pop/Song") && !m.HasNode("Pop/Tune"); });
  RightClickNode(s, "Song");
  ClickItem(s, " Edit File", &frmTvwPopUp::lblEditNode, Showing<frmEditFile>);
  TypeIn(s, "the caption \"Tune\"", [] { return Dialog<frmEditFile>()->txtCaption; }, "Tune");
  s.Step("OK", [] { Click(CentreOf(Dialog<frmEditFile>()->btnOK)); }, Settled);
  s.Check("Song is now Tune", [&m] { return m.HasNode("Pop/Tune") && !m.HasNode("Pop/Song"); });

  s.Step("double-click Gone (its file is missing)", [] { DoubleClick(TreeNodePoint(*TreeTestAccess::Groups(Launcher().Tree()), "Gone")); },
         [] { return Box("Error Playing File") != nullptr; });
  s.Step("OK", [] { Answer("Error Playing File", "OK"); }, NoDialog);
  s.WaitFor("the player area resets", [] { return PlayerUi(Launcher().Player()).lblPlayStatus->Caption().isEmpty(); });
  s.Step("double-click Tune", [] { DoubleClick(TreeNodePoint(*TreeTestAccess::Groups(Launcher().Tree()), "Tune")); },
         [] { return PlayerUi(Launcher().Player()).lblPlayStatus->Caption() == "Playing"; });
  s.Step("Stop", [] { Click(CentreOf(PlayerUi(Launcher().Player()).btnStop)); },
         [] { return PlayerUi(Launcher().Player()).lblPlayStatus->Caption() == "Stopped"; });
  s.WaitFor("the player area resets", [] { return PlayerUi(Launcher().Player()).lblPlayStatus->Caption().isEmpty(); });

  // Deletes without a question: a file entry and an empty group; then a group with entries.
  RightClickNode(s, "Gone");
  ClickItem(s, " Delete", &frmTvwPopUp::lblDeleteNode, [&m] { return !m.HasNode("Pop/Gone"); });
  s.WaitFor("no question, nothing left over", Settled);
  // The empty group: Add File and Add Group cancelled, Rename, then Delete without a question.
  RightClickNode(s, "Empty");
  ClickItem(s, " Add File", &frmTvwPopUp::lblAddFile, Showing<frmAddFile>);
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmAddFile>()->btnCancel)); }, Settled);
  RightClickNode(s, "Empty");
  ClickItem(s, " Add Group", &frmTvwPopUp::lblAddGroup, Showing<frmAddGroup>);
  s.Step("Cancel", [] { Click(CentreOf(Dialog<frmAddGroup>()->btnCancel)); }, Settled);
  RightClickNode(s, "Empty");
  ClickItem(s, " Rename", &frmTvwPopUp::lblRenameNode, PopupGone);
  s.Step("type \"Bare\" and Return", [] { Keys("ctrl+a"); Type("Bare"); Keys("Return"); },
         [&m] { return m.HasNode("Groups/Bare"); });
  s.WaitFor("no highlight left", Settled);
  RightClickNode(s, "Bare");
  ClickItem(s, " Delete", &frmTvwPopUp::lblDeleteNode, [&m] { return !m.HasNode("Groups/Bare"); });
  s.WaitFor("no question, nothing left over", Settled);
  RightClickNode(s, "Pop");
  ClickItem(s, " Delete", &frmTvwPopUp::lblDeleteNode, [] { return Box("Group Delete Selected") != nullptr; });
  s.Step("answer Yes", [] { Answer("Group Delete Selected", "Yes"); }, [&m] { return !m.HasNode("Groups/Pop"); });
  s.WaitFor("nothing left over", Settled);
  s.Check("only the root and Jazz remain",
          [&m] { return m.Outline() == std::vector<std::string>{"/Groups", "Groups/Jazz"}; });

  s.Check("userdb.dat untouched", [&m] { return m.UserDbDat() == m.userDbAtStart; });
  s.Exit("Exit", [] { Click(CentreOf(Launcher().btnExit)); });
}

}  // namespace smoke
