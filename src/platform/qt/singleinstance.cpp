#include "platform/qt/singleinstance.h"

#include <QCryptographicHash>
#include <QFile>
#include <QLocalSocket>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), key_(key) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::Serve);
}

SingleInstance::~SingleInstance() {
  for (int fd : lockedFolders_) ::close(fd);
}

bool SingleInstance::LockFolder(const QString& hostFolder) {
  // Close-on-exec, so that a program started from here (the help viewer, the waveform editor)
  // does not keep the lock after this process has ended.
  int fd = ::open(QFile::encodeName(hostFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  lockedFolders_.push_back(fd);
  locked_ = true;
  return true;
}

QString SingleInstance::KeyFor(const QString& programFolder) {
  QByteArray hash = QCryptographicHash::hash(programFolder.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
  return QString("tolvan-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool SingleInstance::HandOverToRunning(const QByteArray& message, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(key_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  socket.write(message + "\n");
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  // The answer comes once the running instance has handled the message.
  while (!socket.canReadLine()) {
    if (!socket.waitForReadyRead(timeoutMs)) return false;
  }
  return socket.readLine().trimmed() == "ok";
}

bool SingleInstance::Listen() {
  if (server_.listen(key_)) return true;
  // A name left by an instance that died; another live instance would have answered, and
  // would hold the folder lock.
  if (server_.serverError() == QAbstractSocket::AddressInUseError) {
    if (locked_) {
      QLocalServer::removeServer(key_);
      return server_.listen(key_);
    }
    QLocalSocket probe;
    probe.connectToServer(key_);
    if (probe.waitForConnected(500)) return false;
    QLocalServer::removeServer(key_);
    return server_.listen(key_);
  }
  return false;
}

void SingleInstance::Serve() {
  while (QLocalSocket* client = server_.nextPendingConnection()) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, this, [this, client] {
      if (!client->canReadLine()) return;
      QByteArray message = client->readLine().trimmed();
      emit Activated(message);
      client->write("ok\n");
      client->flush();
      client->disconnectFromServer();
    });
  }
}

}  // namespace platform
