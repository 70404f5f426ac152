#pragma once

#include <string>
#include <vector>

namespace platform {

// Starts another program detached, with normal focus; nothing is waited for.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  // Host paths: the layer has already translated what crosses to the other program.
  // Returns false when the program could not be started.
  virtual bool Start(const std::string& hostProgram, const std::vector<std::string>& args,
                     const std::string& hostWorkingDir) = 0;
};

// The host's own way: the program and its arguments go to it byte for byte (a file name need
// not be UTF-8), in a process of its own that outlives this one.
class HostProgramStarter : public ProgramStarter {
 public:
  bool Start(const std::string& hostProgram, const std::vector<std::string>& args,
             const std::string& hostWorkingDir) override;
};

ProgramStarter& ProgramStarters();
void SetProgramStarter(ProgramStarter* starter);

}  // namespace platform
