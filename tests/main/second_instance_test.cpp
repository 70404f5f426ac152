// Two real processes of the program: a second start hands over to the running one and ends.
#include <gtest/gtest.h>

#include <QDir>
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
};

TEST_F(SecondInstance, HandsOverToTheRunningInstanceAndEnds) {
  QProcess first;
  Start(first);
  // The running instance answers once its start has set up the hand-over.
  platform::SingleInstance probe(platform::SingleInstance::KeyFor(folder));
  QElapsedTimer waited;
  waited.start();
  bool running = false;
  while (!running && waited.elapsed() < 10000) {
    running = probe.HandOverToRunning("{+}", 500);
    if (!running) QTest::qWait(100);
  }
  ASSERT_TRUE(running) << "the first instance never answered";

  QProcess second;
  Start(second);
  EXPECT_TRUE(second.waitForFinished(5000)) << "the second start should end at once";
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(first.state(), QProcess::Running) << "the running instance stays";

  first.kill();
  first.waitForFinished(5000);
}

}  // namespace
