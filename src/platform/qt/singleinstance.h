#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QObject>
#include <QString>

namespace platform {

// Tells whether another instance of the program runs and hands it a message (the keystroke
// that brings it to the front). One name per user and program folder.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstance(const QString& key, QObject* parent = nullptr);

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
};

}  // namespace platform
