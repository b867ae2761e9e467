#include "ui/qt/skin_controls.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace kv::ui {

namespace {

class FixedHeightDelegate : public QStyledItemDelegate {
 public:
  FixedHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(height_);
    return size;
  }

 private:
  int height_;
};

}  // namespace

SkinPicture::SkinPicture(QPixmap picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture)) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
}

void SkinPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, picture_);
}

SkinComboBox::SkinComboBox(int itemHeight, QWidget* parent)
    : QComboBox(parent), itemHeight_(itemHeight) {
  setEditable(false);
  setItemDelegate(new FixedHeightDelegate(itemHeight_, this));
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

SkinMemo::SkinMemo(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setFrameShape(QFrame::Box);
  setFrameShadow(QFrame::Plain);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  setPalette(palette);
}

QStringList SkinMemo::lines() const {
  const QString text = toPlainText();
  if (text.isEmpty()) {
    return {};
  }
  return text.split(QLatin1Char('\n'));
}

SkinBevel::SkinBevel(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::Box);
  setFrameShadow(QFrame::Sunken);
  setLineWidth(1);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

}  // namespace kv::ui
