#include "ui/qt/skin_button.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

#include <utility>

namespace kv::ui {

SkinButton::SkinButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setAttribute(Qt::WA_Hover);
}

void SkinButton::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  update();
}

void SkinButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  update();
}

void SkinButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect box = rect().adjusted(0, 0, -1, -1);
  QLinearGradient fill(0, 0, 0, height());
  if (isDown()) {
    fill.setColorAt(0, QColor(0xAFC0E0));
    fill.setColorAt(1, QColor(0xE4EAF6));
  } else if (underMouse() && isEnabled()) {
    fill.setColorAt(0, QColor(0xFFFFFF));
    fill.setColorAt(1, QColor(0xC4D4F2));
  } else {
    fill.setColorAt(0, QColor(0xFAFBFE));
    fill.setColorAt(1, QColor(0xC9D2E6));
  }
  painter.fillRect(box, fill);
  painter.setPen(QColor(isEnabled() ? 0x1A3A84 : 0x8A94AA));
  painter.drawRect(box);
  if (hasFocus()) {
    QPen dotted(QColor(0x1A3A84));
    dotted.setStyle(Qt::DotLine);
    painter.setPen(dotted);
    painter.drawRect(box.adjusted(3, 3, -3, -3));
  }
  painter.setFont(font());
  painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(0x8A94AA));
  painter.drawText(rect().translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter, text());
}

SkinImageButton::SkinImageButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_Hover);
}

void SkinImageButton::setPictures(QPixmap normal, QPixmap mouseOver, QPixmap pressed) {
  normal_ = std::move(normal);
  mouseOver_ = std::move(mouseOver);
  pressed_ = std::move(pressed);
  update();
}

PictureState SkinImageButton::pictureState() const {
  if (isDown() || !isEnabled()) {
    return PictureState::Pressed;
  }
  if (underMouse() || hasFocus()) {
    return PictureState::MouseOver;
  }
  return PictureState::Normal;
}

QSize SkinImageButton::sizeHint() const {
  return normal_.size();
}

void SkinImageButton::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  update();
}

void SkinImageButton::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  update();
}

void SkinImageButton::keyPressEvent(QKeyEvent* event) {
  // Space is the base class's; Enter and Return press the button as well.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
    if (!event->isAutoRepeat()) {
      click();
    }
    event->accept();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

void SkinImageButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  switch (pictureState()) {
    case PictureState::Normal:
      painter.drawPixmap(0, 0, normal_);
      break;
    case PictureState::MouseOver:
      painter.drawPixmap(0, 0, mouseOver_);
      break;
    case PictureState::Pressed:
      painter.drawPixmap(0, 0, pressed_);
      break;
  }
}

}  // namespace kv::ui
