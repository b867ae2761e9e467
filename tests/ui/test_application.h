// The one QApplication of a widget test binary, made on first use (offscreen in CTest).
#pragma once

#include <QApplication>
#include <QInputDevice>

namespace kv::test {

inline QApplication& TestApplication() {
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    return *existing;
  }
  // Qt's list of input devices must outlive the application: the default keyboard and mouse of
  // synthetic events are children of the application and leave that list when it goes. Asking
  // for the list first makes it the older static, destroyed after the application.
  (void)QInputDevice::devices();
  static int argc = 1;
  static char name[] = "kv_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

// The keyboard of the tests' synthetic key events.
inline const QInputDevice* TestKeyboard() {
  static const QInputDevice* keyboard =
      new QInputDevice("kv-test-keyboard", 2, QInputDevice::DeviceType::Keyboard);
  return keyboard;
}

}  // namespace kv::test
