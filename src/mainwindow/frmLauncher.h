#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>
#include <QWidget>

#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pane/databasepane.h"
#include "windows/captionlesswindow.h"
#include "windows/drops.h"
#include "windows/shareddata.h"
#include "platform/core/mediaplayer.h"
#include "platform/qt/controls.h"
#include "platform/qt/treeview.h"
#include "mainwindow/playerarea.h"
#include "mainwindow/presetbank.h"
#include "playlist/window/playlist.h"

class QMimeData;
class frmPreferences;
class frmTvwPopUp;

namespace platform {
class FlexGrid;
}

// The program's main window: the groups tree, the preset bank, the player and the database
// pane. One instance for the program's lifetime; its dialogs are given it when they open.
class frmLauncher : public CaptionlessWindow, public PaneHost, public PlaylistHost, public PlayerAreaHost,
                    public PresetBankHost {
  Q_OBJECT
 public:
  frmLauncher(platform::MediaPlayer* player, ProgramState& app, QWidget* parent = nullptr);
  ~frmLauncher() override;

  // The load, in its order; runs once, before the window is first shown.
  void Form_Load();

  // The program's state, which this window and its dialogs share with the other windows.
  ProgramState& State() { return app_; }

  // Public operations other windows call.
  void btnConfigure_Click();
  void btnPreset_Click(int Index) override;
  void btnPlay_Click() override;

  // What the database pane asks of this window.
  void OpenPlaylistWindow() override;
  void ShowFileRallysets() override;
  void KeepTabInNoteBoxes(bool keep) override;
  void FillPreferencesForm() override;

  // What the playlist editor asks of this window.
  void PlaylistFunctionKey(int KeyCode, int Shift, bool& handled) override { Form_KeyDown(KeyCode, Shift, handled); }
  bool Exiting() const override { return exiting_; }
  const QWidget* MainFrame() const override { return this; }

  // What the player area asks of this window.
  void FocusTree() override;
  void PlaybackStarting() override;
  void PlaybackReset() override;
  void PlaybackStoppedByUser() override;

  // Handlers of this window's own frame.
  void Form_KeyDown(int KeyCode, int Shift, bool& handled);
  // A press on the window's own background: the window moves with the mouse.
  void Form_MouseDown();
  void btnEditor_Click();
  void btnExit_Click();
  void btnHelp_Click();
  void btnMinimize_Click();
  void btnSettings_Click();
  void btnPlaylistEditor_Click();

  // Module Launcher's procedures of the groups tree: groups.dat into the tree, the tree to
  // groups.dat (a failure is told and the tree shows what is stored), and the common tail
  // that ends every change (keys, File Detail's list, groups.dat).
  void LoadGroupTree();
  void SaveGroupTree();
  void GroupTreeCommonTail();
  // Prints the function-key sheet of the presets on the default printer.
  void PrintPresetKeyAssignments();
  // The preferences window while it exists (null otherwise); it makes itself known.
  frmPreferences* PreferencesWindowOrNull() const;
  void SetPreferencesWindow(frmPreferences* window);

  // The one-preset editor for gPresetIndex (the bank's right press and drops).
  void EditOnePreset() override;

  // The groups tree (frmLauncher_tree.cpp): its events, the two moves and the common tail
  // that ends every change (keys, File Detail's list, groups.dat).
  void tvwGroups_MouseDown(int Button, int Shift, int x, int y);
  void tvwGroups_MouseMove(int Button, int Shift, int x, int y);
  void tvwGroups_MouseUp(int Button, int Shift, int x, int y);
  void tvwGroups_DragOver(int x, int y);
  void tvwGroups_OLEDragOver(int x, int y);
  void tvwGroups_DragDrop();
  void tvwGroups_OLEDragDrop(const QMimeData& Data);
  void tvwGroups_AfterLabelEdit(const QString& NewString);
  void tvwGroups_Click();
  void tvwGroups_DblClick();
  void btnNodeDown_Click();
  void btnNodeUp_Click();
  // The tree popup while it is open (null otherwise).
  frmTvwPopUp* TreePopup() const;
  // Whether any of frmAddGroup, frmAddFile, frmEditFile is showing; they count themselves.
  bool TreeDialogShowing() const { return treeDialogsShowing_ > 0; }
  void CountTreeDialog(int change) { treeDialogsShowing_ += change; }

  // The image list of the tree: keys and pictures in their order.
  const std::vector<std::pair<std::string, QIcon>>& imlTreeIcons() const { return imlTreeIcons_; }
  bool isExiting() const { return exiting_; }

  // ---- Tool buttons
  QPushButton* btnConfigure;
  QPushButton* btnEditor;
  QPushButton* btnSettings;
  QPushButton* btnPlaylistEditor;
  QPushButton* btnHelp;
  QPushButton* btnMinimize;
  QPushButton* btnExit;
  QPushButton* btnStop;
  QPushButton* btnNodeUp;
  QPushButton* btnNodeDown;

  // ---- Groups tree
  platform::TreeView* tvwGroups;

  // ---- Preset bank
  PresetBank& Bank() { return *bank_; }
  const PresetBank& Bank() const { return *bank_; }

  // ---- Player
  PlayerArea& Player() { return *player_; }
  const PlayerArea& Player() const { return *player_; }

  // ---- Database pane
  DatabasePane& Pane() { return *pane_; }
  const DatabasePane& Pane() const { return *pane_; }

  // ---- The playlist editor, and its window while loaded
  PlaylistEditor& Playlist() { return *playlist_; }

 protected:
  void FunctionKeyDown(int KeyCode, int Shift, bool& handled) override { Form_KeyDown(KeyCode, Shift, handled); }
  bool DragsFrom(const QWidget* hit) const override;
  bool MayClose() const override { return exiting_; }
  void PaintSkin(QPainter& p) override;

 private:
  void BuildToolButtons();
  void BuildTree();
  void BuildImageList();

  // Each area wires its own handlers (their sources lie beside this one).
  void WireTree();

  std::vector<std::pair<std::string, QIcon>> imlTreeIcons_;
  QPointer<frmTvwPopUp> treePopup_;
  ProgramState& app_;
  PresetBank* bank_ = nullptr;
  PlayerArea* player_ = nullptr;
  DatabasePane* pane_ = nullptr;
  QPointer<frmPreferences> preferences_;
  std::unique_ptr<PlaylistEditor> playlist_;
  bool loaded_ = false;
  bool exiting_ = false;
  int treeDialogsShowing_ = 0;
};
