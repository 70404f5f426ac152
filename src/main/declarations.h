#pragma once

#include <string>

#include "windows/shareddata.h"

// The program's one ProgramState, made where the program starts.
ProgramState& App();

// The folder part of the program file's path, in drive-letter form and ending in "\";
// nothing when it lies on no mapped drive.
std::string AppPathFromHost(const std::string& hostProgramFolder);
