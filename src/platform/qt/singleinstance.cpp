#include "platform/qt/singleinstance.h"

#include <QCryptographicHash>
#include <QLocalSocket>

#include <unistd.h>

namespace platform {

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), key_(key) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::Serve);
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
  // A name left by an instance that died; another live instance would have answered.
  if (server_.serverError() == QAbstractSocket::AddressInUseError) {
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
