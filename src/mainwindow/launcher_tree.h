#pragma once

#include <QMimeData>

#include "platform/qt/dropdata.h"

#include <optional>
#include <string>

// What a drop from another program offers the tree: its text up to the first line break, else
// the first file of its file list; host paths and file URLs in drive-letter form.
using TreeDrop = platform::DroppedPath;
TreeDrop TreeDroppedPath(const QMimeData& data);

// The tree dialogs' texts of refusals that the platform needs.
void ReportTooDeep();
