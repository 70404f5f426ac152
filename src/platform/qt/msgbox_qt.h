#pragma once

#include "platform/core/msgbox.h"

namespace platform {

// Message boxes as Qt dialogs, modal over the active window.
class QtMessageBoxes : public MessageBoxService {
 public:
  int Show(std::string_view text, int style, std::string_view title) override;
};

}  // namespace platform
