#include "ui/sui_form.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>

#include "ui/skin_style.h"

namespace kv::ui {

namespace {
constexpr int kButtonWidth = 17;
constexpr int kButtonHeight = 15;
constexpr int kButtonGap = 2;
constexpr int kButtonRightMargin = 4;
constexpr int kCaptionLeft = 7;
}  // namespace

TitleBarButton::TitleBarButton(Glyph glyph, QWidget* parent)
    : QAbstractButton(parent), glyph_(glyph) {
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(kButtonWidth, kButtonHeight);
  setAttribute(Qt::WA_Hover);
}

QSize TitleBarButton::sizeHint() const {
  return {kButtonWidth, kButtonHeight};
}

void TitleBarButton::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  update();
}

void TitleBarButton::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  update();
}

void TitleBarButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QRect box = rect().adjusted(0, 0, -1, -1);
  QLinearGradient fill(0, 0, 0, height());
  if (isDown()) {
    fill.setColorAt(0, QColor(0x0A1A4A));
    fill.setColorAt(1, QColor(0x2A4F9C));
  } else if (underMouse()) {
    fill.setColorAt(0, QColor(0x6F95E0));
    fill.setColorAt(1, QColor(0x3460B8));
  } else {
    fill.setColorAt(0, QColor(0x4A74C8));
    fill.setColorAt(1, QColor(0x1E3E8A));
  }
  painter.fillRect(box, fill);
  painter.setPen(QColor(0xC8D6F4));
  painter.drawRect(box);

  QPen pen(Qt::white);
  pen.setWidth(2);
  painter.setPen(pen);
  const QRect glyph = box.adjusted(5, 4, -4, -3);
  switch (glyph_) {
    case Glyph::Minimize:
      painter.drawLine(glyph.left(), glyph.bottom(), glyph.right(), glyph.bottom());
      break;
    case Glyph::Maximize:
      painter.setPen(Qt::white);
      painter.drawRect(glyph);
      painter.drawLine(glyph.left(), glyph.top() + 1, glyph.right(), glyph.top() + 1);
      break;
    case Glyph::Close:
      painter.setRenderHint(QPainter::Antialiasing, true);
      painter.drawLine(glyph.topLeft(), glyph.bottomRight());
      painter.drawLine(glyph.topRight(), glyph.bottomLeft());
      break;
  }
}

SuiForm::SuiForm(QWidget* parent, bool hasTitleBar, int buttons)
    : QWidget(parent), hasTitleBar_(hasTitleBar) {
  setObjectName("suiForm1");
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(kClientBackground));
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  if (hasTitleBar_) {
    if ((buttons & kMinimize) != 0) {
      minimize_ = new TitleBarButton(TitleBarButton::Glyph::Minimize, this);
      minimize_->setObjectName("minimizeButton");
      connect(minimize_, &QAbstractButton::clicked, this, [this] { window()->showMinimized(); });
    }
    if ((buttons & kMaximize) != 0) {
      maximize_ = new TitleBarButton(TitleBarButton::Glyph::Maximize, this);
      maximize_->setObjectName("maximizeButton");
      connect(maximize_, &QAbstractButton::clicked, this, [this] { toggleMaximized(); });
    }
    if ((buttons & kClose) != 0) {
      close_ = new TitleBarButton(TitleBarButton::Glyph::Close, this);
      close_->setObjectName("closeButton");
      connect(close_, &QAbstractButton::clicked, this, [this] { window()->close(); });
    }
  }
  placeButtons();
}

void SuiForm::setCaption(const QString& caption) {
  caption_ = caption;
  update(titleBarRect());
}

QRect SuiForm::titleBarRect() const {
  if (!hasTitleBar_) {
    return {};
  }
  return {1, 1, width() - 2, kTitleBarHeight};
}

TitleBarButton* SuiForm::titleButton(TitleButton which) const {
  switch (which) {
    case kMinimize:
      return minimize_;
    case kMaximize:
      return maximize_;
    case kClose:
      return close_;
    default:
      return nullptr;
  }
}

void SuiForm::placeButtons() {
  const int top = 1 + (kTitleBarHeight - kButtonHeight) / 2;
  int right = width() - 1 - kButtonRightMargin;
  for (TitleBarButton* button : {close_, maximize_, minimize_}) {
    if (button == nullptr) {
      continue;
    }
    right -= kButtonWidth;
    button->move(right, top);
    right -= kButtonGap;
  }
}

void SuiForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeButtons();
}

void SuiForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(kClientBackground));
  if (hasTitleBar_) {
    const QRect bar = titleBarRect();
    QLinearGradient fill(0, bar.top(), 0, bar.bottom());
    fill.setColorAt(0, QColor(kTitleBarTop));
    fill.setColorAt(0.5, QColor(0x1A3A84));
    fill.setColorAt(1, QColor(kTitleBarBottom));
    painter.fillRect(bar, fill);
    painter.setPen(QColor(0x5F86D6));
    painter.drawLine(bar.left(), bar.top(), bar.right(), bar.top());

    painter.setFont(SkinFont(kTahoma, 8, true));
    painter.setPen(Qt::white);
    int textRight = bar.right() - kButtonRightMargin;
    for (TitleBarButton* button : {minimize_, maximize_, close_}) {
      if (button != nullptr) {
        textRight = std::min(textRight, button->x() - kButtonGap);
      }
    }
    const QRect textBox(bar.left() + kCaptionLeft, bar.top(), textRight - bar.left() - kCaptionLeft,
                        bar.height());
    const QString shown =
        painter.fontMetrics().elidedText(caption_, Qt::ElideRight, textBox.width());
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, shown);
  }
  painter.setPen(QColor(kBorderColour));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SuiForm::toggleMaximized() {
  QWidget* top = window();
  if (top->isMaximized()) {
    top->showNormal();
  } else {
    top->showMaximized();
  }
}

void SuiForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !titleBarRect().contains(event->position().toPoint())) {
    QWidget::mousePressEvent(event);
    return;
  }
  // The window manager moves the window where it can; otherwise we follow the mouse ourselves.
  QWindow* handle = window()->windowHandle();
  if (handle != nullptr && handle->startSystemMove()) {
    return;
  }
  dragging_ = true;
  dragOffset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
}

void SuiForm::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton) != 0) {
    window()->move(event->globalPosition().toPoint() - dragOffset_);
    return;
  }
  QWidget::mouseMoveEvent(event);
}

void SuiForm::mouseReleaseEvent(QMouseEvent* event) {
  dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void SuiForm::mouseDoubleClickEvent(QMouseEvent* event) {
  if (maximize_ != nullptr && titleBarRect().contains(event->position().toPoint())) {
    toggleMaximized();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace kv::ui
