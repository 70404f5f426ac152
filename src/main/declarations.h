#pragma once

#include <string>

#include "mainwindow/launcher.h"
#include "windows/shareddata.h"

// Every module's state, one instance for the program.
struct ProgramState {
  Declarations decl;
  DataFileIO io;
  LauncherState launcher;
};

ProgramState& App();

// The folder part of the program file's path, in drive-letter form and ending in "\";
// nothing when it lies on no mapped drive.
std::string AppPathFromHost(const std::string& hostProgramFolder);
