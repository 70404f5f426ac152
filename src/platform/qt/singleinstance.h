#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>

#include <vector>

namespace platform {

// Tells whether another instance of the program runs and hands it a message (the keystroke
// that brings it to the front). One name per user and program folder; a lock on the folders
// that only one process can hold.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstance(const QString& key, QObject* parent = nullptr);
  ~SingleInstance() override;

  // Takes an exclusive lock on the host folder itself (no file is made in it), held until
  // this object goes or the process ends in any way, a kill included: the kernel lets go
  // of it. False only when another process holds it; a folder that does not exist, or a
  // file system without such locks, is no obstacle.
  bool LockFolder(const QString& hostFolder);

  // When another instance runs: sends it `message` and waits until it has been taken.
  // False when no other instance answers.
  bool HandOverToRunning(const QByteArray& message, int timeoutMs = 3000);
  // Becomes the running instance; later starts reach it through Activated.
  bool Listen();

  static QString KeyFor(const QString& programFolder);

 signals:
  void Activated(const QByteArray& message);

 private:
  void Serve();

  QString key_;
  QLocalServer server_;
  std::vector<int> lockedFolders_;  // descriptors that hold the locks
  bool locked_ = false;
};

}  // namespace platform
