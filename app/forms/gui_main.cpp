#include "app/forms/gui_main.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "app/forms/frmmain.h"
#include "app/forms/screenshot_tour.h"
#include "app/forms/window_icon.h"
#include "ui/message_boxes.h"
#include "ui/skin_style.h"

namespace kv {

namespace {

constexpr const char* kApplicationTitle = "Krellvane";
// The desktop entry's name without ".desktop": lets the desktop match windows to the entry.
constexpr const char* kDesktopEntryName = "org.krellvane.Krellvane";

void RunWindow(const PlatformChoice& choice, BuilderWindowFactory makeBuilder) {
  ui::QtMessageBoxes boxes;
  std::string error;
  std::unique_ptr<Platform> platform = CreatePlatform(choice, error);
  if (platform == nullptr && !error.empty()) {
    std::fprintf(stderr, "krellvane: %s\n", error.c_str());
  }

  std::unique_ptr<ScreenshotTour> tour = ScreenshotTour::FromEnvironment();
  MainWindowServices services;
  services.boxes = &boxes;
  services.makeBuilder = std::move(makeBuilder);
  if (tour != nullptr) {
    tour->Attach(services);
  }
  TfrmMain form(std::move(platform), services);
  if (form.TerminateRequested()) {
    return;
  }
  form.show();
  if (tour != nullptr) {
    tour->Start(form);
  }
  QApplication::exec();
}

}  // namespace

int RunGui(int argc, char** argv, const PlatformChoice& platform,
           BuilderWindowFactory makeBuilder) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kApplicationTitle);
  QApplication::setDesktopFileName(kDesktopEntryName);
  QApplication::setWindowIcon(ProgramIcon());
  ui::InstallFontSubstitutions();
  try {
    RunWindow(platform, std::move(makeBuilder));
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, kApplicationTitle, QString::fromLocal8Bit(e.what()));
  } catch (...) {
    QMessageBox::critical(nullptr, kApplicationTitle, "Unknown error");
  }
  return 0;
}

}  // namespace kv
