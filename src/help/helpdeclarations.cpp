#include "help/helpdeclarations.h"

#include "help/frmHelp.h"
#include "platform/core/drives.h"

HelpDeclarations& Helpdeclarations() {
  static HelpDeclarations state;
  return state;
}

std::string HelpCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& a : args) {
    if (&a != &args.front()) line += ' ';
    line += a;
  }
  return line;
}

std::string HelpAppPath(const std::string& dosFolder) {
  std::string path = dosFolder;
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  return path;
}

frmHelp* Main(const std::string& hostProgramFolder, const std::string& commandLine) {
  auto dos = platform::DosPathOf(hostProgramFolder);
  if (!dos) {
    // A drive map that leaves out the viewer's folder must not keep the help from showing:
    // the whole host then stands as one drive.
    platform::SetDriveMap(platform::DriveMap({{'C', "/"}}));
    dos = platform::DosPathOf(hostProgramFolder);
  }
  HelpDeclarations& h = Helpdeclarations();
  h.gAppPath = HelpAppPath(dos.value_or("C:\\"));
  h.gHelpPath = h.gAppPath + "help\\";
  h.gCommandLine = commandLine;

  auto* window = new frmHelp();
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->Form_Load();
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}
