#pragma once

#include <string>
#include <vector>

class frmHelp;

// Module Helpdeclarations: the help viewer's start and the state it keeps for its lifetime.
struct HelpDeclarations {
  std::string gAppPath;         // the viewer's own folder, drive-letter form, ending in "\"
  std::string gHelpPath;        // gAppPath & "help\"
  bool gHelpFirstLoad = false;  // from the window's load until the first page has loaded
  std::string gHelpURL;         // the first page: gHelpPath & the command line
  std::string gCommandLine;     // the page name the viewer was started with, as given
};

HelpDeclarations& Helpdeclarations();

// The viewer's whole command line after the program name: the arguments joined by blanks,
// so that a page name the shell split at its blanks is one name again.
std::string HelpCommandLine(const std::vector<std::string>& args);

// The folder in drive-letter form, with one trailing "\".
std::string HelpAppPath(const std::string& dosFolder);

// Sets the folders from the viewer's host folder and the command line, then shows the
// window modeless and returns it (it deletes itself when closed).
frmHelp* Main(const std::string& hostProgramFolder, const std::string& commandLine);
