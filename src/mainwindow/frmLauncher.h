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
#include "mainwindow/treearea.h"
#include "playlist/window/playlist.h"

class QMimeData;
class frmPreferences;

namespace platform {
class FlexGrid;
}

// The program's main window: the groups tree, the preset bank, the player and the database
// pane. One instance for the program's lifetime; its dialogs are given it when they open.
class frmLauncher : public CaptionlessWindow, public PaneHost, public PlaylistHost, public PlayerAreaHost,
                    public PresetBankHost, public TreeAreaHost {
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
  void btnPreset_Click(int Index);

  // What the preset bank asks of this window.
  void PlayPreset(int Index) override;

  // What the database pane asks of this window.
  void PlayOrStopShownFile() override;
  void OpenPlaylistWindow() override;
  void ShowFileRallysets() override;
  void KeepTabInNoteBoxes(bool keep) override;
  void OrphanCountChanged() override { FillPreferencesForm(); }
  // An open preferences window shows the settings and the orphan count anew.
  void FillPreferencesForm();

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

  // Prints the function-key sheet of the presets on the default printer.
  void PrintPresetKeyAssignments();
  // The preferences window while it exists (null otherwise); it makes itself known.
  frmPreferences* PreferencesWindowOrNull() const;
  void SetPreferencesWindow(frmPreferences* window);

  // The one-preset editor for gPresetIndex (the bank's right press and drops).
  void EditOnePreset() override;

  // What the groups tree asks of this window.
  void PlayTreeEntry(const std::string& path, const std::string& caption, int loopingPreset) override;

  // ---- Tool buttons
  QPushButton* btnConfigure;
  QPushButton* btnEditor;
  QPushButton* btnSettings;
  QPushButton* btnPlaylistEditor;
  QPushButton* btnHelp;
  QPushButton* btnMinimize;
  QPushButton* btnExit;

  // ---- Groups tree
  TreeArea& Tree() { return *tree_; }
  const TreeArea& Tree() const { return *tree_; }

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


  ProgramState& app_;
  TreeArea* tree_ = nullptr;
  PresetBank* bank_ = nullptr;
  PlayerArea* player_ = nullptr;
  DatabasePane* pane_ = nullptr;
  QPointer<frmPreferences> preferences_;
  std::unique_ptr<PlaylistEditor> playlist_;
  bool loaded_ = false;
  bool exiting_ = false;
};
