#pragma once

#include <QComboBox>
#include <QListWidget>

#include <string>
#include <string_view>

namespace platform {

// A drive list over the current drive map: one entry per mapped drive, "c:" followed by the
// volume's name in brackets when it has one. Change fires whenever the chosen drive changes,
// by the user or by code.
class DriveListBox : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveListBox(QWidget* parent = nullptr);

  // The chosen drive as "c:" (lower case, as the list shows it); empty when no drive is mapped.
  std::string Drive() const;
  // Chooses the drive of a path or drive text ("D:\Music", "d:"); a letter that is not
  // mapped leaves the choice as it was.
  void SetDrive(std::string_view pathOrDrive);
  // Reads the drive map again, keeping the choice where the drive is still mapped.
  void Refresh();

 signals:
  void Change();

 private:
  bool filling_ = false;
};

// A folder list: the folders from the drive's root down to the current folder, then the
// current folder's subfolders, in the order of their names with letter case ignored (hidden
// ones left out). A double click or Enter on an entry makes it the current folder. Change
// fires whenever Path changes, by the user or by code.
class DirListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit DirListBox(QWidget* parent = nullptr);

  // The current folder in drive-letter form, "C:\Music" (a root is "C:\").
  std::string Path() const { return path_; }
  // A drive ("D:") stands for its root. A folder that does not exist gives its nearest
  // existing parent, and a drive whose root cannot be read its root with no entries below,
  // so that setting a path never fails.
  void SetPath(std::string_view path);

 signals:
  void Change();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Fill();
  void Enter(QListWidgetItem* item);

  std::string path_;
};

}  // namespace platform
