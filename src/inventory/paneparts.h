#pragma once

// Pieces the database pane's views share: the looks of its label-buttons and the Result view
// of a search (drawn by the search and by the reload of its last result).
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/searchcore.h"
#include "windows/skin.h"
#include "platform/qt/controls.h"

class frmLauncher;
struct DBViewerState;

namespace datafiles {
class UserDBIndex;
}

namespace pane {

using platform::Q;

// A view takes the Play button away unless a file is playing.
void ReleasePlayButton(frmLauncher& f);

// The Result view's grid with its header row only, hidden while rows are added.
void LayOutResultGrid(frmLauncher& f);
// The rows below the header, in the Result view's order, with their note marks from `notes`;
// then the height and the first row in sight (gRestoreRow, used once). Returns the number of
// files listed (a no-match row read back from result.dat is none).
std::int64_t ShowResultRows(frmLauncher& f, DBViewerState& db, std::vector<inventory::SearchHit> rows,
                            const datafiles::UserDBIndex& notes);
// The no-match row of a search that listed nothing.
void ShowNoMatchRow(frmLauncher& f);
// The end of a search and of its reload: search entry closed, the grid shown, the Result view
// current, tabs and buttons back, the default pointer; `status` in the first status line.
void FinishResultView(frmLauncher& f, DBViewerState& db, const std::string& status, std::int64_t listed);

}  // namespace pane
