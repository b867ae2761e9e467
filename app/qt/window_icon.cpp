#include "app/qt/window_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resource is registered by name here (outside any namespace, as Qt requires), so that it
// is linked in also where the windows come from a static library.
static void RegisterIconResource() {
  Q_INIT_RESOURCE(window_icon);
}

namespace kv {

namespace {
constexpr const char* kIconResource = ":/krellvane/krellvane.svg";
constexpr int kIconSides[] = {16, 24, 32, 48, 64, 128, 256};
}  // namespace

QIcon ProgramIcon() {
  RegisterIconResource();
  QSvgRenderer renderer{QString(kIconResource)};
  QIcon icon;
  if (!renderer.isValid()) {
    return icon;
  }
  for (const int side : kIconSides) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace kv
