#include "ui/qt/sui_form.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>

#include "ui/qt/skin_style.h"

namespace kv::ui {

namespace {
constexpr int kButtonWidth = 17;
constexpr int kButtonHeight = 15;
constexpr int kButtonGap = 2;
constexpr int kButtonRightMargin = 4;
constexpr int kCaptionLeft = 7;
constexpr int kWindowManagerGraceMs = 300;
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

void TitleBarButton::setGlyph(Glyph glyph) {
  if (glyph_ != glyph) {
    glyph_ = glyph;
    update();
  }
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
    case Glyph::Restore: {
      // Two overlapping windows: the back one up and right, the front one down and left.
      painter.setPen(Qt::white);
      const QRect back = glyph.adjusted(2, -1, 0, -3);
      const QRect front = glyph.adjusted(0, 2, -2, 0);
      painter.drawLine(back.left(), back.top(), back.right(), back.top());
      painter.drawLine(back.left(), back.top() + 1, back.right(), back.top() + 1);
      painter.drawLine(back.right(), back.top(), back.right(), back.bottom());
      painter.fillRect(front, QColor(0x1E3E8A));
      painter.drawRect(front);
      painter.drawLine(front.left(), front.top() + 1, front.right(), front.top() + 1);
      break;
    }
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
      // The window's state changes also come from the window manager; the button follows them.
      if (parent != nullptr) {
        parent->window()->installEventFilter(this);
      }
    }
    if ((buttons & kClose) != 0) {
      close_ = new TitleBarButton(TitleBarButton::Glyph::Close, this);
      close_->setObjectName("closeButton");
      connect(close_, &QAbstractButton::clicked, this, [this] { window()->close(); });
    }
  }
  placeButtons();
}

void SuiForm::fillWindow() {
  QWidget* owner = parentWidget();
  if (owner == nullptr) {
    return;
  }
  if (!fillsWindow_) {
    fillsWindow_ = true;
    owner->installEventFilter(this);
  }
  setGeometry(owner->rect());
}

bool SuiForm::eventFilter(QObject* watched, QEvent* event) {
  if (fillsWindow_ && watched == parentWidget() && event->type() == QEvent::Resize) {
    setGeometry(parentWidget()->rect());
  }
  if (watched == window() && event->type() == QEvent::WindowStateChange) {
    showWindowState();
  }
  return QWidget::eventFilter(watched, event);
}

void SuiForm::showWindowState() {
  if (maximize_ != nullptr) {
    maximize_->setGlyph(window()->isMaximized() ? TitleBarButton::Glyph::Restore
                                                : TitleBarButton::Glyph::Maximize);
  }
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
  // The window state tells a window manager what to do; the geometry is asked for as well, so
  // that the window fills the screen and comes back to its normal size where none is running.
  // The maximised geometry goes to the platform window: a widget resized while maximised would
  // forget both the state and its normal geometry.
  QWidget* top = window();
  if (top->isMaximized()) {
    const QRect normal = top->normalGeometry();
    top->showNormal();
    if (normal.isValid()) {
      top->setGeometry(normal);
    }
    return;
  }
  top->showMaximized();
  // Where no window manager acts on the state, the window sizes itself after a moment; asking
  // at once would race a window manager that does.
  QTimer::singleShot(kWindowManagerGraceMs, this, [this] {
    QWidget* maximised = window();
    QWindow* handle = maximised->windowHandle();
    const QScreen* screen = maximised->screen();
    if (maximised->isMaximized() && handle != nullptr && screen != nullptr &&
        maximised->geometry() != screen->availableGeometry()) {
      handle->setGeometry(screen->availableGeometry());
    }
  });
}

void SuiForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !titleBarRect().contains(event->position().toPoint())) {
    QWidget::mousePressEvent(event);
    return;
  }
  movePending_ = true;
  pressPosition_ = event->globalPosition().toPoint();
}

void SuiForm::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) == 0) {
    movePending_ = false;
    dragging_ = false;
    QWidget::mouseMoveEvent(event);
    return;
  }
  const QPoint mouse = event->globalPosition().toPoint();
  if (dragging_) {
    window()->move(mouse - dragOffset_);
    return;
  }
  if (!movePending_ ||
      (mouse - pressPosition_).manhattanLength() < QApplication::startDragDistance()) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  movePending_ = false;
  // A maximised window stays where it is, as it has no edge to leave the screen with.
  if (window()->isMaximized()) {
    return;
  }
  // The window manager moves the window where it can; otherwise we follow the mouse ourselves.
  QWindow* handle = window()->windowHandle();
  if (handle != nullptr && handle->startSystemMove()) {
    return;
  }
  dragging_ = true;
  dragOffset_ = pressPosition_ - window()->frameGeometry().topLeft();
  window()->move(mouse - dragOffset_);
}

void SuiForm::mouseReleaseEvent(QMouseEvent* event) {
  movePending_ = false;
  dragging_ = false;
  QWidget::mouseReleaseEvent(event);
}

void SuiForm::mouseDoubleClickEvent(QMouseEvent* event) {
  if (maximize_ != nullptr && event->button() == Qt::LeftButton &&
      titleBarRect().contains(event->position().toPoint())) {
    movePending_ = false;
    toggleMaximized();
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace kv::ui
