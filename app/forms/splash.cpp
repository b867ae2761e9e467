#include "app/forms/splash.h"

#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "ui/skin_style.h"

namespace kv {

namespace {
constexpr QSize kClientSize{248, 87};
constexpr QRect kFrameRect{1, 1, 246, 85};
constexpr QRect kLabelRect{64, 36, 123, 13};
}  // namespace

TfrmSplash::TfrmSplash(QWidget* owner) : QWidget(owner) {
  setObjectName("frmSplash");
  ui::ApplySkinWindow(this, Qt::Tool | Qt::WindowStaysOnTopHint);
  setWindowTitle("frmSplash");
  setFixedSize(kClientSize);

  suiForm1 = new ui::SuiForm(this, false, ui::SuiForm::kNoButtons);
  suiForm1->setGeometry(kFrameRect);

  Label1 = new QLabel("Querying Device ...", suiForm1);
  Label1->setObjectName("Label1");
  Label1->setFont(ui::SkinFont(ui::kVerdana, 8, true));
  Label1->setGeometry(kLabelRect);
  Label1->installEventFilter(this);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

bool TfrmSplash::eventFilter(QObject* watched, QEvent* event) {
  // Widgets paint only into an exposed window; a paint of the hidden box (a grab) does not count.
  if (watched == Label1 && event->type() == QEvent::Paint && !textPainted_) {
    const QWindow* handle = windowHandle();
    if (handle != nullptr && handle->isExposed()) {
      textPainted_ = true;
      // Queued: the paint and the flush to the screen finish before anyone hears of it.
      QMetaObject::invokeMethod(this, &TfrmSplash::textPaintedOnScreen, Qt::QueuedConnection);
    }
  }
  return QWidget::eventFilter(watched, event);
}

bool TfrmSplash::ShowPainted(std::chrono::milliseconds bound) {
  show();
  // A window manager maps the box in its own time, so one pass over the pending events may come
  // too early; wait for the text itself, handling no input meanwhile.
  if (!textPainted_) {
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(this, &TfrmSplash::textPaintedOnScreen, &loop, &QEventLoop::quit);
    limit.start(bound);
    if (!textPainted_) {
      loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
  }
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  return textPainted_;
}

}  // namespace kv
