#include "app/qt/gui_main.h"

#include <QApplication>

#include <memory>

#include "app/forms/window_program.h"
#include "app/qt/screenshot_tour.h"
#include "app/qt/window_icon.h"
#include "builder/forms/frmbuild.h"
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/skin_style.h"

namespace kv {

namespace {
constexpr const char* kApplicationTitle = "Krellvane";
// The desktop entry's name without ".desktop": lets the desktop match windows to the entry.
constexpr const char* kDesktopEntryName = "org.krellvane.Krellvane";
}  // namespace

int RunGui(int argc, char** argv, const PlatformChoice& platform) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kApplicationTitle);
  QApplication::setDesktopFileName(kDesktopEntryName);
  QApplication::setWindowIcon(ProgramIcon());
  ui::InstallFontSubstitutions();
  ui::qt::QtToolkit toolkit;

  WindowProgramHooks hooks;
  std::unique_ptr<ScreenshotTour> tour = ScreenshotTour::FromEnvironment(toolkit);
  if (tour != nullptr) {
    hooks.attach = [&tour](MainWindowServices& services) { tour->Attach(services); };
    hooks.shown = [&tour](TfrmMain& form) { tour->Start(form); };
  }
  return RunWindowProgram(
      toolkit, platform,
      [&toolkit](ui::Window* owner) -> std::unique_ptr<ui::Form> {
        return std::make_unique<TfrmBuildKV>(toolkit, owner);
      },
      hooks);
}

}  // namespace kv
