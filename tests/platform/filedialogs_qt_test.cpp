// The file dialogs of the platform layer, answered on the offscreen platform as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <functional>

#include "platform/core/errors.h"
#include "platform/core/msgbox.h"
#include "platform/qt/filedialogs_qt.h"
#include "support/scripted_services.h"
#include "support/temp_drives.h"

namespace {

class QtFileDialogsTest : public ::testing::Test {
 protected:
  // Runs `answer` on the dialog in front each time it is up, until it returns true.
  std::string ShowAnswering(const platform::FileDialogRequest& request, std::function<bool(QFileDialog&)> answer) {
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog && answer(*dialog)) timer.stop();
    });
    timer.start(10);
    return dialogs.Show(request);
  }
  // The name typed into the file name box, then Return (the dialog's accept).
  static void Type(QFileDialog& dialog, const QString& name) {
    dialog.findChild<QLineEdit*>("fileNameEdit")->setText(name);
    QMetaObject::invokeMethod(&dialog, "accept");
  }

  testing_support::TempDrives drives{"C"};
  testing_support::ScriptedMessageBoxes boxes;
  platform::QtFileDialogs dialogs;
  platform::FileDialogRequest save = [] {
    platform::FileDialogRequest r;
    r.save = true;
    r.filter = "M3U file (*.m3u)|*.m3u|";
    r.initDir = "C:\\Lists\\";
    r.flags = 1028;
    return r;
  }();
};

}  // namespace

// Typed into a save dialog, a name with a double quote would be taken as a list of names:
// it is refused with a message and the dialog stays for another name.
TEST_F(QtFileDialogsTest, ASaveNameHoldingADoubleQuoteIsRefusedWhole) {
  drives.MakeFolder("C:\\Lists");
  boxes.Answer(platform::vbOK);
  int typed = 0;
  const std::string chosen = ShowAnswering(save, [&](QFileDialog& d) {
    if (typed == 0) {
      ++typed;
      Type(d, " my,li\"st.m3u");
      return false;
    }
    if (boxes.shown().size() != 1 || !d.isVisible()) return false;
    EXPECT_EQ(d.findChild<QLineEdit*>("fileNameEdit")->text(), "") << "the refused name is gone";
    EXPECT_TRUE(d.selectedFiles().size() <= 1) << "no name read from the quotes stays selected";
    Type(d, "my list.m3u");
    return true;
  });
  EXPECT_EQ(chosen, "C:\\Lists\\my list.m3u");
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].title, "File Name Not Valid");
  EXPECT_NE(boxes.shown()[0].text.find("my,li\"st.m3u"), std::string::npos);
}

// The program asks itself before a save replaces a file: the dialog does not ask as well.
TEST_F(QtFileDialogsTest, ASaveOverAnExistingFileIsNotAskedTwice) {
  drives.Write("C:\\Lists\\old.m3u", "x\r\n");
  const std::string chosen = ShowAnswering(save, [](QFileDialog& d) {
    Type(d, "old.m3u");
    return true;
  });
  EXPECT_EQ(chosen, "C:\\Lists\\old.m3u");
}

TEST_F(QtFileDialogsTest, ACancelledDialogIsTheCancelError) {
  try {
    ShowAnswering(save, [](QFileDialog& d) {
      d.reject();
      return true;
    });
    ADD_FAILURE() << "no cancel";
  } catch (const platform::VbError& e) {
    EXPECT_EQ(e.number(), platform::errCancel);
  }
}
