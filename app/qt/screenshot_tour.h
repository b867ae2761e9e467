// Pictures of the program's own windows for the documentation: with the environment variable
// KRELLVANE_SCREENSHOT_DIR set, the program takes from the screen the splash, the main window
// before and after one media check, the information box and the main window maximised, writes
// each window's rectangle and its frame's into frames.txt in that folder, then ends.
#pragma once

#include <QFile>
#include <QString>
#include <QWidget>

#include <memory>

namespace kv {

struct MainWindowServices;
class TfrmMain;

namespace ui {
class Toolkit;
}

inline constexpr const char* kScreenshotDirVariable = "KRELLVANE_SCREENSHOT_DIR";

class ScreenshotTour {
 public:
  // Null when the variable is not set or empty.
  static std::unique_ptr<ScreenshotTour> FromEnvironment(ui::Toolkit& toolkit);
  ScreenshotTour(QString folder, ui::Toolkit& toolkit)
      : folder_(std::move(folder)), toolkit_(toolkit) {}

  void Attach(MainWindowServices& services);
  // Takes the pictures once the window is shown, then asks the application to quit.
  void Start(TfrmMain& form);

 private:
  // The window as the screen shows it (the whole screen when `wholeScreen`); the window's own
  // rendering where the screen cannot be read.
  void Save(QWidget& widget, const char* fileName, bool wholeScreen = false);
  void NoteFrame(const QWidget& window, const QWidget& frame, const char* picture);

  QString folder_;
  ui::Toolkit& toolkit_;
  QFile frames_;
};

}  // namespace kv
