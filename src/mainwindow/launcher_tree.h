#pragma once

#include <QMimeData>

#include "platform/qt/dropdata.h"

#include <optional>
#include <string>

// The main window's groups tree and groups.dat (module DataFileIO's part for the window).

// Fills the main window's empty tree from groups.dat; a damaged file is kept aside before the
// first save.
void LoadGroupTree();
// Writes the main window's tree to groups.dat.
void SaveGroupTree();
// The end of every change of the tree: keys, File Detail's list of groups, groups.dat.
void GroupTreeCommonTail();

// What a drop from another program offers the tree: its text up to the first line break, else
// the first file of its file list; host paths and file URLs in drive-letter form.
using TreeDrop = platform::DroppedPath;
TreeDrop TreeDroppedPath(const QMimeData& data);

// The tree dialogs' texts of refusals that the platform needs.
void ReportTooDeep();
