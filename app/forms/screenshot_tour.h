// Pictures of the program's own windows for the documentation: with the environment variable
// KRELLVANE_SCREENSHOT_DIR set, the program grabs the splash, the main window before and after
// one media check and the information box into that folder, then ends.
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace kv {

struct MainWindowServices;
class TfrmMain;

inline constexpr const char* kScreenshotDirVariable = "KRELLVANE_SCREENSHOT_DIR";

class ScreenshotTour {
 public:
  // Null when the variable is not set or empty.
  static std::unique_ptr<ScreenshotTour> FromEnvironment();
  explicit ScreenshotTour(QString folder) : folder_(std::move(folder)) {}

  void Attach(MainWindowServices& services);
  // Takes the pictures once the window is shown, then asks the application to quit.
  void Start(TfrmMain& form);

 private:
  void Save(QWidget& widget, const char* fileName);

  QString folder_;
};

}  // namespace kv
