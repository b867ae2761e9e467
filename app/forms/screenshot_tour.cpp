#include "app/forms/screenshot_tour.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

#include "app/forms/frmmain.h"
#include "app/forms/krellvane_msgbox.h"

namespace kv {

namespace {
constexpr int kSettleMilliseconds = 400;
}

std::unique_ptr<ScreenshotTour> ScreenshotTour::FromEnvironment() {
  const QString folder = qEnvironmentVariable(kScreenshotDirVariable);
  if (folder.isEmpty()) {
    return nullptr;
  }
  return std::make_unique<ScreenshotTour>(folder);
}

void ScreenshotTour::Save(QWidget& widget, const char* fileName) {
  QDir().mkpath(folder_);
  const QString path = QDir(folder_).filePath(QString::fromLatin1(fileName));
  if (!widget.grab().save(path)) {
    std::fprintf(stderr, "krellvane: cannot write %s\n", path.toLocal8Bit().constData());
  }
}

void ScreenshotTour::Attach(MainWindowServices& services) {
  services.splashShown = [this](QWidget& splash) { Save(splash, "splash.png"); };
}

void ScreenshotTour::Start(TfrmMain& form) {
  QTimer::singleShot(kSettleMilliseconds, &form, [this, &form] {
    Save(form, "main-window.png");
    form.cmdRefreshClick(nullptr);
    QCoreApplication::processEvents();
    Save(form, "main-window-report.png");
    TfrmKrellvaneMsgBox box(&form);
    box.show();
    QCoreApplication::processEvents();
    Save(box, "information-box.png");
    box.close();
    QCoreApplication::quit();
  });
}

}  // namespace kv
