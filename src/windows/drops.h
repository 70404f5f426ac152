#pragma once

#include <optional>
#include <string>

class QMimeData;

// The path a drop offers: its text first, else the first file of its file list; host paths
// and file URLs come back in drive-letter form. Nothing when it offers neither.
std::optional<std::string> DroppedPath(const QMimeData& data);
