#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/core/errors.h"
#include "platform/core/filedialogs.h"
#include "platform/core/msgbox.h"
#include "platform/core/programstart.h"

namespace testing_support {

// Message boxes answered from a script. Every box is recorded; a box for which no answer
// was queued fails the test (and is answered with the box's first button).
class ScriptedMessageBoxes : public platform::MessageBoxService {
 public:
  struct Box {
    std::string text;
    int style;
    std::string title;
  };

  ScriptedMessageBoxes();
  ~ScriptedMessageBoxes() override;

  // Queues the answer of the next box.
  void Answer(int answer) { answers_.push_back(answer); }
  int Show(std::string_view text, int style, std::string_view title) override;

  const std::vector<Box>& shown() const { return shown_; }
  int pending() const { return static_cast<int>(answers_.size()); }

 private:
  std::deque<int> answers_;
  std::vector<Box> shown_;
};

// Records every program start instead of starting anything.
class RecordingProgramStarter : public platform::ProgramStarter {
 public:
  struct Start {
    std::string program;
    std::vector<std::string> args;
    std::string workingDir;
  };

  RecordingProgramStarter();
  ~RecordingProgramStarter() override;
  bool Start(const std::string& program, const std::vector<std::string>& args,
             const std::string& workingDir) override;

  const std::vector<struct Start>& starts() const { return starts_; }
  bool succeed = true;

 private:
  std::vector<struct Start> starts_;
};

// File dialogs answered from a script: a path, or a cancel. Requests are recorded.
class ScriptedFileDialogs : public platform::FileDialogService {
 public:
  ScriptedFileDialogs();
  ~ScriptedFileDialogs() override;

  void Choose(std::string dosPath) { answers_.push_back({std::move(dosPath), 0}); }
  void Cancel() { Fail(platform::errCancel); }
  // The dialog fails with `error` (errPathNotFound: a file outside the mapped drives).
  void Fail(std::int32_t error) { answers_.push_back({{}, error}); }
  std::string Show(const platform::FileDialogRequest& request) override;

  const std::vector<platform::FileDialogRequest>& requests() const { return requests_; }

 private:
  struct Answer {
    std::string path;
    std::int32_t error;
  };
  std::deque<Answer> answers_;
  std::vector<platform::FileDialogRequest> requests_;
};

}  // namespace testing_support
