#include "ui/qt/skin_style.h"

#include <QPalette>

#include <cmath>

namespace kv::ui {

namespace {
constexpr double kPixelsPerPoint = 96.0 / 72.0;
}

int PointsToPixels(int points) {
  return static_cast<int>(std::lround(points * kPixelsPerPoint));
}

void InstallFontSubstitutions() {
  static bool installed = false;
  if (installed) {
    return;
  }
  installed = true;
  QFont::insertSubstitutions(kTahoma, {"Liberation Sans", "DejaVu Sans"});
  QFont::insertSubstitutions(kMsSansSerif, {"Liberation Sans", "DejaVu Sans"});
  QFont::insertSubstitutions(kVerdana, {"DejaVu Sans", "Liberation Sans"});
  QFont::insertSubstitutions(kCourierNew, {"Liberation Mono", "DejaVu Sans Mono"});
}

QFont SkinFont(const char* family, int points, bool bold) {
  InstallFontSubstitutions();
  QFont font(QString::fromLatin1(family));
  font.setPixelSize(PointsToPixels(points));
  font.setBold(bold);
  if (QString::fromLatin1(family) == QLatin1String(kCourierNew)) {
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
  } else {
    font.setStyleHint(QFont::SansSerif);
  }
  return font;
}

void SetTextColour(QWidget* widget, QColor colour) {
  QPalette palette = widget->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::WindowText, colour);
    palette.setColor(group, QPalette::Text, colour);
    palette.setColor(group, QPalette::ButtonText, colour);
  }
  widget->setPalette(palette);
}

void ApplySkinWindow(QWidget* window, Qt::WindowFlags extraFlags) {
  window->setWindowFlags(window->windowFlags() | Qt::Window | Qt::FramelessWindowHint | extraFlags);
  QPalette palette = window->palette();
  palette.setColor(QPalette::Window, QColor(kChromeColour));
  window->setPalette(palette);
  window->setAutoFillBackground(true);
  window->setFont(SkinFont(kMsSansSerif, 8));
}

}  // namespace kv::ui
