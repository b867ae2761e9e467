#include "ui/qt/skin_link_label.h"

#include <QDesktopServices>
#include <QMouseEvent>

#include "ui/qt/skin_style.h"

namespace kv::ui {

SkinLinkLabel::SkinLinkLabel(QWidget* parent)
    : QLabel(parent),
      url_(QString::fromLatin1(kMakerWebAddress)),
      opener_([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {
  setCursor(Qt::PointingHandCursor);
  setTextFormat(Qt::PlainText);
  setAttribute(Qt::WA_Hover);
  SetTextColour(this, QColor(kLinkColour));
}

void SkinLinkLabel::setHighlighted(bool on) {
  highlighted_ = on;
  SetTextColour(this, QColor(on ? kLinkHoverColour : kLinkColour));
}

void SkinLinkLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  setHighlighted(true);
}

void SkinLinkLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  setHighlighted(false);
}

void SkinLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      opener_) {
    opener_(url_);
  }
}

}  // namespace kv::ui
