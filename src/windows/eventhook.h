#pragma once

#include <QEvent>
#include <QObject>

#include <functional>
#include <utility>

// Hands the events of a control to a handler before the control sees them (true: consumed);
// lives as long as the control.
class EventHook : public QObject {
 public:
  EventHook(QObject* watched, std::function<bool(QEvent*)> hook) : QObject(watched), hook_(std::move(hook)) {
    watched->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override { return hook_(event); }

 private:
  std::function<bool(QEvent*)> hook_;
};
