#pragma once

#include <QObject>
#include <QPushButton>

#include <array>
#include <string>

#include "platform/qt/controls.h"
#include "windows/shareddata.h"

class QMimeData;

// What the preset bank asks of the window it lies in.
class PresetBankHost {
 public:
  // Preset `Index` is to play: a left click on its button.
  virtual void PlayPreset(int Index) = 0;
  // The one-preset editor for gPresetIndex, modally.
  virtual void EditOnePreset() = 0;

 protected:
  ~PresetBankHost() = default;
};

// The bank's controls, the window's children.
struct PresetBankControls {
  platform::Label* Label1 = nullptr;
  std::array<QPushButton*, 21> btnPreset{};  // 1..20; index 0 is not used
};

// The main window's bank of 20 preset buttons (the Tap Deck): their captions, bold where a
// file is set; a left click plays, a right press or a drop opens the one-preset editor.
class PresetBank : public QObject, private PresetBankControls {
  Q_OBJECT
 public:
  // The controls are the window's children, laid out in the window's bank area.
  PresetBank(QWidget* window, ProgramState& app, PresetBankHost& host);

  // The 20 buttons show the presets' captions, bold where a file is set.
  void RefreshPresetButtons();
  // The caption that preset button `Index` shows.
  std::string PresetButtonCaption(int Index) const;

  // Handlers.
  void btnPreset_MouseDown(int Index, int Button, int Shift, int x, int y);
  void btnPreset_OLEDragDrop(int Index, const QMimeData& Data);

 private:
  friend class PresetBankTestAccess;

  void Build(QWidget* window);
  void Wire();

  QWidget* window_;
  ProgramState& app_;
  PresetBankHost& host_;
};
