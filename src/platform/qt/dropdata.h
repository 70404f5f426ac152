#pragma once

#include <string>

#include <QMimeData>

namespace platform {

// Whether a drop from another program offers a path: text proper, or a file list.
bool OffersDroppedPath(const QMimeData* data);

// The path a drop from another program offers: its text first (up to the first line break when
// `firstLineOnly`), else the first file of its file list. A host path or a file URL comes back
// in drive-letter form, or as OffDrive in the host's own form when it lies on no drive; other
// text comes back as it stands.
struct DroppedPath {
  enum Kind { Nothing, Path, OffDrive } kind = Nothing;
  std::string path;
};
DroppedPath PathFromDrop(const QMimeData& data, bool firstLineOnly = false);

}  // namespace platform
