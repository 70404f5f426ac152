#include "platform/qt/programstart_qt.h"

#include <QProcess>
#include <QStringList>

namespace platform {

bool QtProgramStarter::Start(const std::string& hostProgram, const std::vector<std::string>& args,
                             const std::string& hostWorkingDir) {
  QStringList list;
  for (const auto& a : args) list << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(hostProgram), list, QString::fromStdString(hostWorkingDir));
}

}  // namespace platform
