// Keeps a window from taking input while it stays painted: while an InputBlocker lives, mouse,
// keyboard, wheel, touch and shortcut events aimed at the window or anything inside it are
// dropped. Paint, resize, timer and close events still arrive.
#pragma once

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace kv::ui {

class InputBlocker : public QObject {
  Q_OBJECT

 public:
  explicit InputBlocker(QWidget& window);
  ~InputBlocker() override;
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

  // Delivers the input that came in so far, so that it is dropped now rather than acted on after
  // the blocker has gone.
  void DropQueuedInput();

  // The event types this blocker drops.
  static bool IsInputEvent(QEvent::Type type);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Inside(const QObject* object) const;

  QPointer<QWidget> window_;
};

}  // namespace kv::ui
