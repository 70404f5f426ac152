#include <cstdlib>
#include <cstdio>

#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/msgbox.h"
#include "platform/core/programstart.h"

namespace platform {
namespace {

// Until the program or a test installs a service, using one is a programming error.
[[noreturn]] void NoService(const char* what) {
  std::fprintf(stderr, "tolvan: no %s service installed\n", what);
  std::abort();
}

MessageBoxService* gMessageBoxes = nullptr;
ProgramStarter* gProgramStarter = nullptr;
FileDialogService* gFileDialogs = nullptr;

}  // namespace

MessageBoxService& MessageBoxes() {
  if (!gMessageBoxes) NoService("message box");
  return *gMessageBoxes;
}
void SetMessageBoxes(MessageBoxService* service) { gMessageBoxes = service; }

int MsgBox(std::string_view text, int style, std::string_view title) {
  return MessageBoxes().Show(text, style, title.empty() ? kAppTitle : title);
}

ProgramStarter& ProgramStarters() {
  if (!gProgramStarter) NoService("program start");
  return *gProgramStarter;
}
void SetProgramStarter(ProgramStarter* starter) { gProgramStarter = starter; }

FileDialogService& FileDialogs() {
  if (!gFileDialogs) NoService("file dialog");
  return *gFileDialogs;
}
void SetFileDialogs(FileDialogService* service) { gFileDialogs = service; }

}  // namespace platform
