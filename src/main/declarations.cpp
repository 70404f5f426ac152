#include "main/declarations.h"

#include "platform/core/drives.h"

ProgramState& App() {
  static ProgramState state;
  return state;
}

std::string AppPathFromHost(const std::string& hostProgramFolder) {
  auto dos = platform::DosPathOf(hostProgramFolder);
  if (!dos) return {};
  std::string path = *dos;
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  return path;
}
