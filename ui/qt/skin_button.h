// Skinned push button and the three-state picture button.
#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QPushButton>

#include "ui/qt/skin_pictures.h"

namespace kv::ui {

// A push button drawn in the blue-grey of the skin; its text colour is the ButtonText colour.
class SkinButton : public QPushButton {
  Q_OBJECT

 public:
  SkinButton(const QString& text, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
};

// A button that shows one of three pictures: normal, mouse over, pressed. It takes the keyboard
// focus without drawing a focus rectangle: focused, it shows its mouse-over picture, and Enter,
// Return or Space press it. Disabled, it shows its pressed picture.
class SkinImageButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit SkinImageButton(QWidget* parent);
  void setPictures(QPixmap normal, QPixmap mouseOver, QPixmap pressed);
  PictureState pictureState() const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QPixmap normal_;
  QPixmap mouseOver_;
  QPixmap pressed_;
};

}  // namespace kv::ui
