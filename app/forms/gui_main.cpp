// STUB: replaced by its owner.
#include "app/forms/gui_main.h"

#include <QApplication>

namespace kv {

int RunGui(int argc, char** argv, const PlatformChoice&) {
  QApplication app(argc, argv);
  return 0;
}

}  // namespace kv
