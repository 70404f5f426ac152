#include "platform/qt/drivelists.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

#include <vector>

#include "platform/core/driveinfo.h"
#include "platform/core/drives.h"

namespace platform {
namespace {

constexpr int kPathRole = Qt::UserRole;

char UpperLetter(std::string_view text) {
  if (text.size() < 2 || text[1] != ':') return 0;
  char c = text[0];
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return (c >= 'A' && c <= 'Z') ? c : 0;
}

bool IsFolder(const std::string& dosPath) {
  const std::string host = HostPathOf(dosPath);
  return !host.empty() && QFileInfo(QString::fromStdString(host)).isDir();
}

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

std::string Join(char letter, const std::vector<std::string>& names, std::size_t depth) {
  std::string path = RootOf(letter);
  for (std::size_t i = 0; i < depth; ++i) {
    if (i > 0) path += '\\';
    path += names[i];
  }
  return path;
}

}  // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent) {
  connect(this, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) emit Change();
  });
  Refresh();
}

std::string DriveListBox::Drive() const { return currentData().toString().toStdString(); }

void DriveListBox::SetDrive(std::string_view pathOrDrive) {
  const char letter = UpperLetter(pathOrDrive);
  if (!letter) return;
  const int index = findData(QString(QChar(letter).toLower()) + ":");
  if (index >= 0 && index != currentIndex()) setCurrentIndex(index);
}

void DriveListBox::Refresh() {
  const QString before = currentData().toString();
  filling_ = true;
  clear();
  for (const MappedDrive& drive : CurrentDriveMap().drives()) {
    const QString data = QString(QChar(drive.letter).toLower()) + ":";
    QString text = data;
    if (auto volume = CurrentDriveFacts().GetVolumeInformation(RootOf(drive.letter))) {
      if (!volume->volumeName.empty()) text += " [" + QString::fromStdString(volume->volumeName) + "]";
    }
    addItem(text, data);
  }
  const int index = findData(before);
  setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
  filling_ = false;
  if (currentData().toString() != before && !before.isEmpty()) emit Change();
}

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent) {
  setIconSize(QSize(16, 16));
  connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::Enter);
}

void DirListBox::SetPath(std::string_view path) {
  const char letter = UpperLetter(path);
  if (!letter) return;
  std::vector<std::string> names;
  std::string_view rest = path.substr(2);
  while (!rest.empty()) {
    const std::size_t slash = rest.find('\\');
    const std::string_view name = rest.substr(0, slash);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.emplace_back(name);
    }
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  std::size_t depth = names.size();
  while (depth > 0 && !IsFolder(Join(letter, names, depth))) --depth;
  const std::string resolved = Join(letter, names, depth);
  if (resolved == path_) return;
  path_ = resolved;
  Fill();
  emit Change();
}

void DirListBox::Fill() {
  clear();
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
  // The open folders from the root down to the current one.
  std::string walked = path_.substr(0, 3);
  std::vector<std::string> levels{walked};
  for (std::size_t start = 3; start < path_.size();) {
    std::size_t slash = path_.find('\\', start);
    if (slash == std::string::npos) slash = path_.size();
    walked = path_.substr(0, slash);
    levels.push_back(walked);
    start = slash + 1;
  }
  for (std::size_t level = 0; level < levels.size(); ++level) {
    const std::string& p = levels[level];
    const std::string shown = level == 0 ? p : p.substr(p.rfind('\\') + 1);
    auto* item = new QListWidgetItem(open, QString(static_cast<int>(level) * 2, ' ') + QString::fromStdString(shown), this);
    item->setData(kPathRole, QString::fromStdString(p));
  }
  setCurrentRow(count() - 1);

  const std::string host = HostPathOf(path_);
  if (host.empty()) return;
  const QFileInfoList subfolders = QDir(QString::fromStdString(host))
                                       .entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  const QString indent(static_cast<int>(levels.size()) * 2, ' ');
  const std::string prefix = path_.back() == '\\' ? path_ : path_ + "\\";
  for (const QFileInfo& info : subfolders) {
    const std::string name = info.fileName().toStdString();
    // A name with a backslash cannot be written in drive-letter form.
    if (name.find('\\') != std::string::npos) continue;
    auto* item = new QListWidgetItem(closed, indent + info.fileName(), this);
    item->setData(kPathRole, QString::fromStdString(prefix + name));
  }
}

void DirListBox::Enter(QListWidgetItem* item) {
  if (item) SetPath(item->data(kPathRole).toString().toStdString());
}

void DirListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Enter(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

}  // namespace platform
