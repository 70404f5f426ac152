#pragma once

#include "platform/core/programstart.h"

namespace platform {

class QtProgramStarter : public ProgramStarter {
 public:
  bool Start(const std::string& hostProgram, const std::vector<std::string>& args,
             const std::string& hostWorkingDir) override;
};

}  // namespace platform
