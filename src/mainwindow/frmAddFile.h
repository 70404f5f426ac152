#pragma once

#include "mainwindow/frmAddGroup.h"

// What the add-file and edit-file dialogs share: a caption box, a path box and the file dialog.
class FileEntryDialog : public TreeDialog {
  Q_OBJECT
 public:
  void btnBrowse_Click();

  platform::Label* lblDialog;
  platform::Label* lblCaptionLabel;
  platform::TextBox* captionBox;
  platform::Label* lblPathLabel;
  platform::TextBox* pathBox;
  QPushButton* btnBrowse;
  QPushButton* btnHelp;
  QLabel* image;

 protected:
  FileEntryDialog(TreeArea& tree, const char* caption, int heightTwips, const char* helpPage, int imageNumber,
                  const char* title, const char* captionLabel, const char* pathLabel, int boxesTop);
  void resizeEvent(QResizeEvent* e) override;
};

// "Add New File to Group": a new file entry below the selected group; a drop on the tree
// brings its path (and the path's note caption).
class frmAddFile : public FileEntryDialog {
  Q_OBJECT
 public:
  explicit frmAddFile(TreeArea& tree);
  void Form_Load() override;
  void Form_Unload() override;
  void btnOK_Click();
  void btnCancel_Click() { reject(); }

  platform::Label* lblAddFileDialog;
  platform::Label* lblParentGroup;
  platform::TextBox* txtNewFileCaption;
  platform::TextBox* txtNewFilePath;
};

// "Edit Launch File Entry": the selected entry's caption and path, with change marks.
class frmEditFile : public FileEntryDialog {
  Q_OBJECT
 public:
  explicit frmEditFile(TreeArea& tree);
  void Form_Load() override;
  void Form_Unload() override;
  void txtCaption_Change();
  void txtFilePath_Change();
  void btnOK_Click();
  void btnCancel_Click();

  platform::TextBox* txtCaption;
  platform::TextBox* txtFilePath;
};
