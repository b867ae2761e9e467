// The real window module: the program loads it (and with it Qt) only to open the window, and the
// window carries the program's icon.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QIcon>
#include <QPixmap>

#include <filesystem>

#include "app/qt/window_icon.h"
#include "tests/support/program_run.h"
#include "tests/ui/test_application.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

TEST(WindowModuleProgram, WindowLoadsTheModuleAndQtFromBesideTheProgram) {
  const fs::path scratch =
      fs::temp_directory_path() / ("kv-window-run-" + std::to_string(getpid()));
  fs::create_directories(scratch);
  const test::CommandRun run = test::RunCommand(
      "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen KRELLVANE_EMULATE=1 "
      "LD_DEBUG=files KRELLVANE_SETTINGS=" +
      test::ShellQuote((scratch / "settings.ini").string()) + " KRELLVANE_SCREENSHOT_DIR=" +
      test::ShellQuote(scratch.string()) + " timeout 120 " + test::ShellQuote(KV_PROGRAM_PATH));
  const bool pictures = fs::exists(scratch / "main-window-report.png");
  fs::remove_all(scratch);

  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(pictures);
  const std::string module =
      (fs::path(KV_PROGRAM_PATH).parent_path() / "krellvane-gui.so").string();
  EXPECT_NE(run.err.find("file=" + module + " [0];  dynamically loaded"), std::string::npos);
  EXPECT_NE(run.err.find("file=libQt6Widgets.so.6 [0];  needed by " + module), std::string::npos);
}

TEST(WindowModuleProgram, ProgramIconHasTheUsualSizes) {
  test::TestApplication();
  const QIcon icon = ProgramIcon();
  ASSERT_FALSE(icon.isNull());
  for (const int side : {16, 32, 48, 256}) {
    const QPixmap pixmap = icon.pixmap(side, side);
    EXPECT_EQ(pixmap.width(), side);
    // Drawn, not blank: the centre of the disc is opaque.
    EXPECT_EQ(pixmap.toImage().pixelColor(side * 56 / 128, side * 30 / 128).alpha(), 255) << side;
  }
}

}  // namespace
}  // namespace kv
