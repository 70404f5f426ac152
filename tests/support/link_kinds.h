#pragma once

// The reconcile link kinds by the names the tests' tables give them.
#include <array>
#include <string>
#include <string_view>

#include "inventory/reconcilelogic.h"

inline std::string LinkKindName(inventory::LinkKind kind) {
  static constexpr std::array<const char*, 6> kNames = {"", "Name", "Drive", "Path", "DriveAll", "PathAll"};
  return kNames[static_cast<std::size_t>(kind)];
}
inline inventory::LinkKind LinkKindNamed(std::string_view name) {
  for (int k = 0; k <= static_cast<int>(inventory::LinkKind::PathAll); ++k) {
    if (LinkKindName(static_cast<inventory::LinkKind>(k)) == name) return static_cast<inventory::LinkKind>(k);
  }
  return inventory::LinkKind::Same;
}
