#include "support/scripted_services.h"

#include <gtest/gtest.h>

#include "platform/core/errors.h"

namespace testing_support {

ScriptedMessageBoxes::ScriptedMessageBoxes() { platform::SetMessageBoxes(this); }
ScriptedMessageBoxes::~ScriptedMessageBoxes() {
  platform::SetMessageBoxes(nullptr);
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " queued message box answer(s) were not used";
}

int ScriptedMessageBoxes::Show(std::string_view text, int style, std::string_view title) {
  shown_.push_back({std::string(text), style, std::string(title)});
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected message box \"" << title << "\": " << text;
    switch (style & 7) {
      case platform::vbYesNo:
      case platform::vbYesNoCancel: return platform::vbYes;
      case platform::vbRetryCancel: return platform::vbRetry;
      case platform::vbAbortRetryIgnore: return platform::vbAbort;
      default: return platform::vbOK;
    }
  }
  int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

RecordingProgramStarter::RecordingProgramStarter() { platform::SetProgramStarter(this); }
RecordingProgramStarter::~RecordingProgramStarter() { platform::SetProgramStarter(nullptr); }

bool RecordingProgramStarter::Start(const std::string& program, const std::vector<std::string>& args,
                                    const std::string& workingDir) {
  starts_.push_back({program, args, workingDir});
  return succeed;
}

ScriptedFileDialogs::ScriptedFileDialogs() { platform::SetFileDialogs(this); }
ScriptedFileDialogs::~ScriptedFileDialogs() {
  platform::SetFileDialogs(nullptr);
  EXPECT_TRUE(answers_.empty()) << answers_.size() << " queued dialog answer(s) were not used";
}

std::string ScriptedFileDialogs::Show(const platform::FileDialogRequest& request) {
  requests_.push_back(request);
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected file dialog";
    throw platform::VbError(platform::errCancel);
  }
  Answer answer = answers_.front();
  answers_.pop_front();
  if (answer.error != 0) throw platform::VbError(answer.error);
  return answer.path;
}

}  // namespace testing_support
