// Two real processes of the program: a second start hands over to the running one and ends.
#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QFileInfo>
#include <map>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "datafiles/prefs.h"
#include "platform/qt/singleinstance.h"
#include "support/temp_drives.h"

namespace {

class SecondInstance : public ::testing::Test {
 protected:
  testing_support::TempDrives drives{"C"};
  QString folder = QString::fromStdString(drives.Host("C:\\app"));
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

  void SetUp() override {
    drives.MakeFolder("C:\\app\\data");
    drives.Write("C:\\app\\data\\prefs.dat", datafiles::PrefsLine(datafiles::Preferences()));
    drives.Write("C:\\app\\data\\preset.dat", datafiles::PresetLines(datafiles::Presets()));
    drives.Write("C:\\app\\data\\invsum.dat", "Last Updated:  12/10/2026  9:30:00 AM\r\n");
    drives.Write("C:\\app\\data\\inventory.dat", "");
    ASSERT_TRUE(QFile::copy(TOLVAN_EXE, folder + "/tolvan"));
    env.insert("TOLVAN_DRIVES", QString("C=%1").arg(QString::fromStdString(drives.Host("C:\\"))));
    env.insert("QT_QPA_PLATFORM", "offscreen");
  }

  void Start(QProcess& p) {
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.start(folder + "/tolvan", {});
    ASSERT_TRUE(p.waitForStarted(5000));
  }

  // Waits until a running instance answers the hand-over.
  bool Answers(int withinMs) {
    platform::SingleInstance probe(platform::SingleInstance::KeyFor(folder));
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < withinMs) {
      if (probe.HandOverToRunning("{+}", 500)) return true;
      QTest::qWait(100);
    }
    return false;
  }

  // Every file of data/ with its bytes and modification time.
  std::map<QString, std::pair<QByteArray, qint64>> DataFolder() {
    std::map<QString, std::pair<QByteArray, qint64>> files;
    for (const QFileInfo& info : QDir(folder + "/data").entryInfoList(QDir::Files | QDir::Hidden)) {
      QFile f(info.filePath());
      f.open(QIODevice::ReadOnly);
      files[info.fileName()] = {f.readAll(), info.lastModified().toMSecsSinceEpoch()};
    }
    return files;
  }
};

TEST_F(SecondInstance, HandsOverToTheRunningInstanceAndEnds) {
  QProcess first;
  Start(first);
  ASSERT_TRUE(Answers(10000)) << "the first instance never answered";

  QProcess second;
  Start(second);
  EXPECT_TRUE(second.waitForFinished(5000)) << "the second start should end at once";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running) << "the running instance stays";

  first.kill();
  first.waitForFinished(5000);
}

// A first instance too busy to answer (here: stopped) still holds the data folder: the second
// start gives up on the hand-over and ends without touching a data file.
TEST_F(SecondInstance, EndsWithoutTouchingDataWhenTheRunningOneCannotAnswer) {
  // With no summary, an instance that gets as far as its main window builds the inventory.
  ASSERT_TRUE(QFile::remove(folder + "/data/invsum.dat"));
  QProcess first;
  Start(first);
  ASSERT_TRUE(Answers(10000)) << "the first instance never answered";
  ASSERT_EQ(::kill(static_cast<pid_t>(first.processId()), SIGSTOP), 0);
  const auto before = DataFolder();

  QProcess second;
  Start(second);
  const bool ended = second.waitForFinished(8000);
  const auto after = DataFolder();
  ::kill(static_cast<pid_t>(first.processId()), SIGCONT);
  EXPECT_TRUE(ended) << "the second start must end although nobody answered";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_TRUE(before == after) << "the second start changed data/";
  if (!ended) second.kill();
  second.waitForFinished(5000);

  EXPECT_TRUE(Answers(5000)) << "the first instance goes on once it can";
  first.kill();
  first.waitForFinished(5000);
}

// The lock goes with the process however it ends: a killed instance does not keep the next
// start from running.
TEST_F(SecondInstance, AKilledInstanceDoesNotBlockTheNextStart) {
  QProcess first;
  Start(first);
  ASSERT_TRUE(Answers(10000)) << "the first instance never answered";
  first.kill();
  ASSERT_TRUE(first.waitForFinished(5000));

  QProcess next;
  Start(next);
  EXPECT_TRUE(Answers(10000)) << "the next start should run and answer";
  EXPECT_EQ(next.state(), QProcess::Running);
  next.kill();
  next.waitForFinished(5000);
}

}  // namespace
