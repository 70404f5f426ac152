#pragma once

#include <string>
#include <string_view>

namespace platform {

// Style numbers and answers of the platform's message boxes.
enum MsgBoxStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256,
  vbDefaultButton3 = 512,
};

enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// The program's title, used by boxes that name no title of their own.
inline constexpr std::string_view kAppTitle = "Tolvan Audio Manager";

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // `text` keeps its line breaks as given (LF CR, CR LF); the service shows them as breaks.
  virtual int Show(std::string_view text, int style, std::string_view title) = 0;
};

// The service in use: the Qt boxes in the program, a script of answers in tests.
MessageBoxService& MessageBoxes();
void SetMessageBoxes(MessageBoxService* service);

// Shows a box; an empty title means the program's title.
int MsgBox(std::string_view text, int style = vbOKOnly, std::string_view title = {});

// LF and CR (characters 10 and 13), the pieces the program builds its breaks from.
inline constexpr std::string_view vbLf = "\n";
inline constexpr std::string_view vbCr = "\r";
inline constexpr std::string_view vbCrLf = "\r\n";

}  // namespace platform
