#include "windows/helppages.h"

#include "platform/core/drives.h"
#include "platform/core/programstart.h"

void StartHelpPage(const std::string& appPath, const std::string& page) {
  const std::string folder = platform::HostPathOf(appPath);
  if (folder.empty()) return;
  const std::string program = folder == "/" ? "/help.exe" : folder + "/help.exe";
  platform::ProgramStarters().Start(program, {page}, folder);
}
