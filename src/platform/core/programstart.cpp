#include "platform/core/programstart.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool HostProgramStarter::Start(const std::string& hostProgram, const std::vector<std::string>& args,
                               const std::string& hostWorkingDir) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(hostProgram.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  // The grandchild tells through this pipe whether it could not start the program; the pipe
  // closes by itself when the program runs.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    // Only async-signal-safe calls from here: a second fork detaches the program, whose
    // parent then ends, so that it is never a zombie of ours.
    ::setsid();
    const pid_t program = ::fork();
    if (program == 0) {
      int error = 0;
      if (!hostWorkingDir.empty() && ::chdir(hostWorkingDir.c_str()) != 0) error = errno;
      if (error == 0) {
        ::execv(hostProgram.c_str(), argv.data());
        error = errno;
      }
      [[maybe_unused]] ssize_t written = ::write(report[1], &error, sizeof error);
      ::_exit(127);
    }
    ::_exit(program < 0 ? 1 : 0);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got;
  while ((got = ::read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  const bool forked = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return forked && got == 0;
}

}  // namespace platform
