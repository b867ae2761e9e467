// The one QApplication of a widget test binary, made on first use (offscreen in CTest).
#pragma once

#include <QApplication>

namespace kv::test {

inline QApplication& TestApplication() {
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    return *existing;
  }
  static int argc = 1;
  static char name[] = "kv_ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

}  // namespace kv::test
