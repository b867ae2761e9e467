#include "ui/qt/skin_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ui/qt/skin_style.h"

namespace kv::ui {

namespace {

QPixmap TransparentPixmap(QSize size) {
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A recordable disc: silver ring with a rainbow sheen and a centre hole.
void DrawDisc(QPainter& painter, QRectF box) {
  QRadialGradient sheen(box.center(), box.width() / 2);
  sheen.setColorAt(0.0, QColor(0xFFFFFF));
  sheen.setColorAt(0.35, QColor(0xC9D7F2));
  sheen.setColorAt(0.6, QColor(0xE7C9F2));
  sheen.setColorAt(0.8, QColor(0xBFE8D8));
  sheen.setColorAt(1.0, QColor(0x8FA4C8));
  painter.setPen(QPen(QColor(0x3B4E78), 1));
  painter.setBrush(sheen);
  painter.drawEllipse(box);
  const qreal hole = box.width() * 0.28;
  painter.setBrush(QColor(kClientBackground));
  painter.drawEllipse(QRectF(box.center().x() - hole / 2, box.center().y() - hole / 2, hole, hole));
}

}  // namespace

QPixmap DrawQuestionPicture(QSize size, PictureState state) {
  QPixmap pixmap = TransparentPixmap(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const int shift = state == PictureState::Pressed ? 1 : 0;
  const QRectF plate = QRectF(1.5 + shift, 1.5 + shift, size.width() - 4, size.height() - 4);

  QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
  switch (state) {
    case PictureState::Normal:
      fill.setColorAt(0, QColor(0x5B86D9));
      fill.setColorAt(1, QColor(0x13307A));
      break;
    case PictureState::MouseOver:
      fill.setColorAt(0, QColor(0x8DB0F0));
      fill.setColorAt(1, QColor(0x2A52B0));
      break;
    case PictureState::Pressed:
      fill.setColorAt(0, QColor(0x0E2666));
      fill.setColorAt(1, QColor(0x3F6AC4));
      break;
  }
  painter.setPen(QPen(QColor(0x061540), 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(plate, 8, 8);
  painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(plate.adjusted(2, 2, -2, -2), 6, 6);

  // A small disc at the left, the question mark beside it.
  const qreal discSide = plate.height() * 0.62;
  DrawDisc(painter,
           QRectF(plate.left() + 6, plate.center().y() - discSide / 2, discSide, discSide));
  QFont font = SkinFont(kVerdana, 22, true);
  painter.setFont(font);
  painter.setPen(state == PictureState::MouseOver ? QColor(0xFFF3A0) : QColor(Qt::white));
  const QRectF textBox(plate.left() + discSide + 6, plate.top(), plate.width() - discSide - 10,
                       plate.height());
  painter.drawText(textBox, Qt::AlignCenter, QStringLiteral("?"));
  return pixmap;
}

QPixmap DrawLogoPicture(QSize size) {
  QPixmap pixmap = TransparentPixmap(size);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal side = size.height() - 2;
  DrawDisc(painter, QRectF(1, 1, side, side));
  QFont font = SkinFont(kVerdana, 9, true);
  font.setItalic(true);
  painter.setFont(font);
  const QRectF textBox(side + 4, 0, size.width() - side - 4, size.height());
  painter.setPen(QColor(0x8FA4C8));
  painter.drawText(textBox.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Krellvane"));
  painter.setPen(QColor(kNavy));
  painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Krellvane"));
  return pixmap;
}

QPixmap DrawDialogIcon(DialogIcon icon, int side) {
  QPixmap pixmap = TransparentPixmap(QSize(side, side));
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF box(1, 1, side - 2, side - 2);
  QFont font = SkinFont(kVerdana, 16, true);
  painter.setFont(font);
  if (icon == DialogIcon::Stop) {
    painter.setPen(QPen(QColor(0x7A0000), 1));
    painter.setBrush(QColor(0xD42020));
    painter.drawEllipse(box);
    QPen cross(Qt::white);
    cross.setWidthF(side / 9.0);
    cross.setCapStyle(Qt::RoundCap);
    painter.setPen(cross);
    const qreal inset = side * 0.3;
    painter.drawLine(QPointF(inset, inset), QPointF(side - inset, side - inset));
    painter.drawLine(QPointF(side - inset, inset), QPointF(inset, side - inset));
  } else {
    painter.setPen(QPen(QColor(0x0B1F5C), 1));
    painter.setBrush(QColor(0x2A62D0));
    painter.drawEllipse(box);
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, QStringLiteral("i"));
  }
  return pixmap;
}

}  // namespace kv::ui
