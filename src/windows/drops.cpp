#include "windows/drops.h"

#include "platform/qt/dropdata.h"

std::optional<std::string> DroppedPath(const QMimeData& data) {
  // A path on no drive is still handed on: the editor tells of it.
  platform::DroppedPath drop = platform::PathFromDrop(data);
  if (drop.kind == platform::DroppedPath::Nothing) return std::nullopt;
  return std::move(drop.path);
}
