#pragma once

#include <QString>

#include <string_view>

#include "platform/core/filedialogs.h"

namespace platform {

// "desc|*.wav; *.mp3|..." -> Qt's "desc (*.wav *.WAV *.mp3 *.MP3);;...". Patterns are matched
// case by case on this platform, so each one is also given in upper case.
QString QtFilterFromPlatform(std::string_view filter);

class QtFileDialogs : public FileDialogService {
 public:
  std::string Show(const FileDialogRequest& request) override;
};

}  // namespace platform
