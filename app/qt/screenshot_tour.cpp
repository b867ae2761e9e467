#include "app/qt/screenshot_tour.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QScreen>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <cstdio>

#include "app/forms/frmmain.h"
#include "app/forms/krellvane_msgbox.h"
#include "app/forms/splash.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/sui_form.h"

namespace kv {

namespace {

constexpr int kSettleMilliseconds = 400;
// A window manager answers a maximise in its own time.
constexpr qint64 kStateChangeBoundMs = 2000;

// Lets the window system and the window manager catch up for about `ms`.
void Settle(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
}

QString Rect(const QRect& r) {
  return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

}  // namespace

std::unique_ptr<ScreenshotTour> ScreenshotTour::FromEnvironment(ui::Toolkit& toolkit) {
  const QString folder = qEnvironmentVariable(kScreenshotDirVariable);
  if (folder.isEmpty()) {
    return nullptr;
  }
  return std::make_unique<ScreenshotTour>(folder, toolkit);
}

void ScreenshotTour::Save(QWidget& widget, const char* fileName, bool wholeScreen) {
  QDir().mkpath(folder_);
  const QString path = QDir(folder_).filePath(QString::fromLatin1(fileName));
  QPixmap picture;
  if (QScreen* screen = widget.screen()) {
    picture = wholeScreen ? screen->grabWindow(0) : screen->grabWindow(widget.winId());
  }
  if (picture.isNull()) {
    picture = widget.grab();
  }
  if (!picture.save(path)) {
    std::fprintf(stderr, "krellvane: cannot write %s\n", path.toLocal8Bit().constData());
  }
}

void ScreenshotTour::NoteFrame(const QWidget& window, const QWidget& frame, const char* picture) {
  if (!frames_.isOpen()) {
    QDir().mkpath(folder_);
    frames_.setFileName(QDir(folder_).filePath(QStringLiteral("frames.txt")));
    if (!frames_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
      std::fprintf(stderr, "krellvane: cannot write %s\n",
                   frames_.fileName().toLocal8Bit().constData());
      return;
    }
  }
  QTextStream out(&frames_);
  out << picture << ": window " << Rect(window.rect()) << " frame " << Rect(frame.geometry())
      << (window.isMaximized() ? " maximised" : "") << "\n";
  out.flush();
}

void ScreenshotTour::Attach(MainWindowServices& services) {
  services.splashShown = [this](TfrmSplash& splash) {
    Save(*ui::qt::WidgetOf(&splash.GetWindow()), "splash.png");
  };
}

void ScreenshotTour::Start(TfrmMain& main) {
  QWidget& form = *ui::qt::WidgetOf(&main.GetWindow());
  ui::SuiForm& frame = *ui::qt::FrameOf(&main.GetWindow());
  QTimer::singleShot(kSettleMilliseconds, &form, [this, &form, &frame, &main] {
    Save(form, "main-window.png");
    NoteFrame(form, frame, "main-window.png");
    main.cmdRefreshClick();
    QCoreApplication::processEvents();
    Save(form, "main-window-report.png");

    {
      TfrmKrellvaneMsgBox box(toolkit_, &main.GetWindow());
      box.GetWindow().Show();
      Settle(kSettleMilliseconds);
      QWidget& boxWidget = *ui::qt::WidgetOf(&box.GetWindow());
      Save(boxWidget, "information-box.png");
      NoteFrame(boxWidget, *ui::qt::FrameOf(&box.GetWindow()), "information-box.png");
      box.GetWindow().Close();
    }

    // Maximised through the title bar's button, as the user does it.
    frame.titleButton(ui::SuiForm::kMaximize)->click();
    QElapsedTimer clock;
    clock.start();
    const QSize normal = form.size();
    while (form.size() == normal && clock.elapsed() < kStateChangeBoundMs) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    Settle(kSettleMilliseconds);
    Save(form, "main-window-maximised.png", true);
    NoteFrame(form, frame, "main-window-maximised.png");
    std::fprintf(stderr, "krellvane: maximised %dx%d, screen %dx%d\n", form.width(), form.height(),
                 form.screen()->availableGeometry().width(),
                 form.screen()->availableGeometry().height());
    QCoreApplication::quit();
  });
}

}  // namespace kv
