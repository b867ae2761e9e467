#include "ui/qt/qt_window.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QWindow>

#include <functional>

#include "ui/qt/input_blocker.h"
#include "ui/qt/skin_pictures.h"
#include "ui/qt/skin_style.h"

namespace kv::ui::qt {

namespace {

QRect ToQRect(const Rect& r) {
  return {r.left, r.top, r.width, r.height};
}

QFont ToQFont(const FontStyle& setup) {
  QFont font = SkinFont(setup.family, setup.points, setup.bold);
  font.setUnderline(setup.underline);
  return font;
}

// A top-level widget that places itself when shown: on the screen's centre the first time, or
// on its owner's centre every time.
template <class Base>
class SkinTopLevel : public Base {
 public:
  SkinTopLevel(QWidget* owner, Placement placement) : Base(owner), placement_(placement) {}

 protected:
  void showEvent(QShowEvent* event) override {
    if (placement_ == Placement::CentreOfOwner) {
      if (const QWidget* owner = this->parentWidget()) {
        this->move(owner->window()->geometry().center() - this->rect().center());
      }
    } else if (!placed_) {
      placed_ = true;
      if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        this->move(screen->availableGeometry().center() - this->rect().center());
      }
    }
    Base::showEvent(event);
  }

 private:
  Placement placement_;
  bool placed_ = false;
};

QWidget* MakeTopLevel(const WindowSetup& setup, QWidget* owner) {
  switch (setup.role) {
    case WindowRole::Main: {
      auto* widget = new SkinTopLevel<QWidget>(owner, setup.placement);
      ApplySkinWindow(widget);
      return widget;
    }
    case WindowRole::Splash: {
      auto* widget = new SkinTopLevel<QWidget>(owner, setup.placement);
      ApplySkinWindow(widget, Qt::Tool | Qt::WindowStaysOnTopHint);
      return widget;
    }
    case WindowRole::Dialog:
      break;
  }
  auto* dialog = new SkinTopLevel<QDialog>(owner, setup.placement);
  ApplySkinWindow(dialog, Qt::Dialog);
  dialog->setModal(true);
  return dialog;
}

class QtBusy : public Window::Busy {
 public:
  explicit QtBusy(QWidget& window) : blocker_(window) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~QtBusy() override {
    blocker_.DropQueuedInput();
    QApplication::restoreOverrideCursor();
  }

 private:
  InputBlocker blocker_;
};

}  // namespace

QtWindow::QtWindow(const WindowSetup& setup, QWidget* owner)
    : name_(setup.name), modal_(setup.role == WindowRole::Dialog) {
  top_ = MakeTopLevel(setup, owner);
  top_->setObjectName(QString::fromLatin1(setup.name));
  top_->setWindowTitle(ToQString(setup.title));
  top_->setFont(ToQFont(setup.font));
  if (setup.fixedSize) {
    top_->setFixedSize(setup.size.width, setup.size.height);
  } else {
    top_->resize(setup.size.width, setup.size.height);
  }
  if (setup.minimumWidth > 0) {
    top_->setMinimumWidth(setup.minimumWidth);
  }
  frame_ =
      new SuiForm(top_, setup.titleBar, setup.titleBar ? setup.titleButtons : SuiForm::kNoButtons);
  frame_->setObjectName("suiForm1");
  if (setup.frameFillsWindow) {
    frame_->fillWindow();
  } else {
    frame_->setGeometry(ToQRect(setup.frame));
  }
}

QtWindow::~QtWindow() {
  // The widgets go first, so that no signal reaches an adapter that has gone.
  delete top_.data();
  controls_.clear();
}

std::string QtWindow::Title() const {
  return ToUtf8(top_->windowTitle());
}

void QtWindow::SetCaption(const std::string& caption) {
  frame_->setCaption(ToQString(caption));
}

std::string QtWindow::Caption() const {
  return ToUtf8(frame_->caption());
}

Size QtWindow::GetSize() const {
  return {top_->width(), top_->height()};
}

void QtWindow::Resize(Size size) {
  top_->resize(size.width, size.height);
}

Rect QtWindow::FrameBounds() const {
  const QRect g = frame_->geometry();
  return {g.x(), g.y(), g.width(), g.height()};
}

bool QtWindow::IsMaximized() const {
  return top_->isMaximized() || top_->isFullScreen();
}

Size QtWindow::NormalSize() const {
  const QRect normal = top_->normalGeometry();
  return {normal.width(), normal.height()};
}

void QtWindow::Maximize() {
  top_->setWindowState(Qt::WindowMaximized);
}

void QtWindow::Restore() {
  top_->setWindowState(Qt::WindowNoState);
}

void QtWindow::Show() {
  top_->show();
}

void QtWindow::Hide() {
  top_->hide();
}

void QtWindow::Close() {
  top_->close();
}

bool QtWindow::IsVisible() const {
  return top_->isVisible();
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  // Widgets paint only into an exposed window; a paint of the hidden window (a grab) does not
  // count.
  if (event->type() == QEvent::Paint && !painted_ && watched != top_) {
    const QWindow* handle = top_->windowHandle();
    if (handle != nullptr && handle->isExposed()) {
      painted_ = true;
      // Queued: the paint and the flush to the screen finish before anyone hears of it.
      QMetaObject::invokeMethod(this, &QtWindow::paintedOnScreen, Qt::QueuedConnection);
    }
  }
  return QObject::eventFilter(watched, event);
}

bool QtWindow::ShowPainted(std::chrono::milliseconds bound) {
  top_->show();
  // A window manager maps the window in its own time, so one pass over the pending events may
  // come too early; wait for the controls themselves, handling no input meanwhile.
  if (!painted_) {
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(this, &QtWindow::paintedOnScreen, &loop, &QEventLoop::quit);
    limit.start(bound);
    if (!painted_) {
      loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  return painted_;
}

int QtWindow::RunModal() {
  if (auto* dialog = qobject_cast<QDialog*>(top_.data()); dialog != nullptr && modal_) {
    return dialog->exec();
  }
  top_->show();
  return 0;
}

void QtWindow::Prepare(QWidget* widget, const ControlSetup& setup) {
  widget->setObjectName(QString::fromLatin1(setup.name));
  widget->setFont(ToQFont(setup.font));
  widget->setGeometry(ToQRect(setup.bounds));
  widget->installEventFilter(this);
}

template <class Adapter, class WidgetType>
Adapter& QtWindow::Keep(WidgetType* widget) {
  auto adapter = std::make_unique<Adapter>(widget);
  Adapter& kept = *adapter;
  controls_.push_back(std::move(adapter));
  return kept;
}

Label& QtWindow::AddLabel(const ControlSetup& setup, const std::string& text, bool wordWrap) {
  auto* label = new QLabel(ToQString(text), frame_);
  Prepare(label, setup);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(wordWrap);
  SetTextColour(label, QColor(setup.colour));
  if (setup.bounds.width == 0) {
    label->adjustSize();
  }
  return Keep<QtLabel>(label);
}

LinkLabel& QtWindow::AddLinkLabel(const ControlSetup& setup) {
  auto* label = new SkinLinkLabel(frame_);
  Prepare(label, setup);
  return Keep<QtLinkLabel>(label);
}

Edit& QtWindow::AddEdit(const ControlSetup& setup) {
  auto* edit = new QLineEdit(frame_);
  Prepare(edit, setup);
  return Keep<QtEdit>(edit);
}

PushButton& QtWindow::AddPushButton(const ControlSetup& setup, const std::string& text) {
  auto* button = new SkinButton(ToQString(text), frame_);
  Prepare(button, setup);
  SetTextColour(button, QColor(setup.colour));
  return Keep<QtPushButton>(button);
}

PictureButton& QtWindow::AddPictureButton(const ControlSetup& setup, PictureKind picture) {
  auto* button = new SkinImageButton(frame_);
  Prepare(button, setup);
  const QSize size(setup.bounds.width, setup.bounds.height);
  if (picture == PictureKind::Question) {
    button->setPictures(DrawQuestionPicture(size, PictureState::Normal),
                        DrawQuestionPicture(size, PictureState::MouseOver),
                        DrawQuestionPicture(size, PictureState::Pressed));
  } else {
    const QPixmap logo = DrawLogoPicture(size);
    button->setPictures(logo, logo, logo);
  }
  return Keep<QtPictureButton>(button);
}

DropDown& QtWindow::AddDropDown(const ControlSetup& setup, int itemHeight) {
  auto* box = new SkinComboBox(itemHeight, frame_);
  Prepare(box, setup);
  return Keep<QtDropDown>(box);
}

Memo& QtWindow::AddMemo(const ControlSetup& setup) {
  auto* memo = new SkinMemo(frame_);
  Prepare(memo, setup);
  return Keep<QtMemo>(memo);
}

Bevel& QtWindow::AddBevel(const ControlSetup& setup) {
  auto* bevel = new SkinBevel(frame_);
  Prepare(bevel, setup);
  return Keep<QtBevel>(bevel);
}

Picture& QtWindow::AddPicture(const ControlSetup& setup, PictureKind picture) {
  const QSize size(setup.bounds.width, setup.bounds.height);
  auto* view = new SkinPicture(picture == PictureKind::Logo
                                   ? DrawLogoPicture(size)
                                   : DrawQuestionPicture(size, PictureState::Normal),
                               frame_);
  Prepare(view, setup);
  return Keep<QtPicture>(view);
}

void QtWindow::SetTabOrder(const std::vector<Control*>& order) {
  QWidget* previous = nullptr;
  for (Control* control : order) {
    auto* adapter = dynamic_cast<QtControlBase*>(control);
    if (adapter == nullptr) {
      continue;
    }
    if (previous != nullptr) {
      QWidget::setTabOrder(previous, adapter->widget());
    } else {
      adapter->widget()->setFocus(Qt::OtherFocusReason);
    }
    previous = adapter->widget();
  }
}

void QtWindow::AddKeyPress(Key key, PictureButton& button) {
  auto* adapter = dynamic_cast<QtPictureButton*>(&button);
  if (adapter == nullptr) {
    return;
  }
  const Qt::Key qtKey = key == Key::F5 ? Qt::Key_F5 : Qt::Key_unknown;
  auto* shortcut = new QShortcut(QKeySequence(qtKey), top_);
  shortcut->setObjectName("checkShortcut");
  QObject::connect(shortcut, &QShortcut::activated, adapter->typed(), &QAbstractButton::click);
}

std::unique_ptr<Window::Busy> QtWindow::BeginBusy() {
  return std::make_unique<QtBusy>(*top_);
}

}  // namespace kv::ui::qt
