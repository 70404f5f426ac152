#pragma once

#include <string>

// Starts the help viewer beside the program in `appPath` (drive-letter form) on `page`; a
// missing viewer is not reported.
void StartHelpPage(const std::string& appPath, const std::string& page);
