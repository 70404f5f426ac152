#pragma once

// Tests look at and work the database pane's controls and state as its friend; production
// code asks the pane through its methods.
#include <QString>

#include <array>
#include <string>
#include <string_view>

#include "pane/databasepane.h"

class PaneTestAccess {
 public:
  static DatabasePaneControls& Controls(DatabasePane& p) { return p; }
  static DBViewerState& State(DatabasePane& p) { return p.db; }

  // The pane as a view leaves it with this title on show (any caption; one that names no view
  // leaves the pane in none).
  static void ShowTitle(DatabasePane& p, const QString& caption) {
    static constexpr std::array<const char*, 6> kTitles = {"",            "System Inventory", "Inventory Detail",
                                                           "Drive Detail", "File Detail",      "Search Inventory"};
    p.title_ = PaneTitle::None;
    for (std::size_t i = 0; i < kTitles.size(); ++i) {
      if (caption == kTitles[i]) p.title_ = static_cast<PaneTitle>(i);
    }
    p.lblDBViewTitle->SetCaption(caption);
  }
  // The Play button as a view leaves it: "", "Play" or "Stop".
  static void ShowPlayButton(DatabasePane& p, const QString& caption) {
    p.SetPlayButton(caption == "Stop" ? PlayState::Stop : caption == "Play" ? PlayState::Play : PlayState::Away);
  }
};

inline DatabasePaneControls& PaneUi(DatabasePane& p) { return PaneTestAccess::Controls(p); }
inline DBViewerState& PaneDb(DatabasePane& p) { return PaneTestAccess::State(p); }

// File Detail on show with `path` as its file, as far as the window's buttons read it; with
// `playable`, its Play button ready.
inline void ShowInFileDetail(DatabasePane& p, const std::string& path, bool playable = false) {
  PaneTestAccess::ShowTitle(p, "File Detail");
  PaneDb(p).gCurrentFilePath = path;
  PaneUi(p).txtDBDescription->setToolTip(QString::fromStdString(path));
  if (!playable) return;
  PaneTestAccess::ShowPlayButton(p, "Play");
  PaneUi(p).btnPlay->setEnabled(true);
}

// The views by the names the tests' tables give them.
inline std::string ViewName(DBView view) {
  static constexpr std::array<const char*, 6> kNames = {"", "Inventory", "Detail", "Drive", "File", "Result"};
  return kNames[static_cast<std::size_t>(view)];
}
inline DBView ViewNamed(std::string_view name) {
  for (int v = 0; v <= static_cast<int>(DBView::Result); ++v) {
    if (ViewName(static_cast<DBView>(v)) == name) return static_cast<DBView>(v);
  }
  return DBView::None;
}
