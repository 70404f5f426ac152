#pragma once

#include <string>

namespace platform {

// An open or save dialog. The filter has the form "desc|patterns|desc|patterns|".
struct FileDialogRequest {
  bool save = false;
  std::string title;
  std::string filter;
  int filterIndex = 1;
  std::string initDir;   // drive-letter form; empty: the dialog's own choice
  std::string fileName;  // proposed name
  int flags = 0;
  // A program of the host (the waveform editor) may lie outside the mapped drives: such a
  // choice comes back as its host path (beginning with "/") instead of failing.
  bool hostPathOutsideDrives = false;
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // The chosen file's full path in drive-letter form. A cancel throws VbError(errCancel);
  // a file outside the mapped drives throws VbError(errPathNotFound), unless the request
  // takes host paths there.
  virtual std::string Show(const FileDialogRequest& request) = 0;
};

FileDialogService& FileDialogs();
void SetFileDialogs(FileDialogService* service);

}  // namespace platform
