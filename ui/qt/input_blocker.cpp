#include "ui/qt/input_blocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <algorithm>
#include <array>

namespace kv::ui {

namespace {

constexpr std::array kInputEvents{QEvent::MouseButtonPress,
                                  QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick,
                                  QEvent::MouseMove,
                                  QEvent::Wheel,
                                  QEvent::KeyPress,
                                  QEvent::KeyRelease,
                                  QEvent::ShortcutOverride,
                                  QEvent::Shortcut,
                                  QEvent::ContextMenu,
                                  QEvent::TouchBegin,
                                  QEvent::TouchUpdate,
                                  QEvent::TouchEnd,
                                  QEvent::TabletPress,
                                  QEvent::TabletRelease,
                                  QEvent::TabletMove,
                                  QEvent::NonClientAreaMouseButtonPress,
                                  QEvent::NonClientAreaMouseButtonRelease,
                                  QEvent::NonClientAreaMouseButtonDblClick,
                                  QEvent::NonClientAreaMouseMove};

}  // namespace

InputBlocker::InputBlocker(QWidget& window) : window_(&window) {
  QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
  QCoreApplication::instance()->removeEventFilter(this);
}

bool InputBlocker::IsInputEvent(QEvent::Type type) {
  return std::find(kInputEvents.begin(), kInputEvents.end(), type) != kInputEvents.end();
}

void InputBlocker::DropQueuedInput() {
  QCoreApplication::processEvents();
}

bool InputBlocker::Inside(const QObject* object) const {
  if (window_ == nullptr) {
    return false;
  }
  // The platform window of a widget window is no child of the widget; it leads to it instead.
  if (const auto* platformWindow = qobject_cast<const QWindow*>(object)) {
    return platformWindow == window_->windowHandle();
  }
  // A widget, or an object such as a shortcut that belongs to one; windows of their own (dialogs
  // owned by the window) are not inside it.
  for (const QObject* o = object; o != nullptr; o = o->parent()) {
    if (const auto* widget = qobject_cast<const QWidget*>(o)) {
      return widget->window() == window_;
    }
  }
  return false;
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
  if (IsInputEvent(event->type()) && Inside(watched)) {
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace kv::ui
