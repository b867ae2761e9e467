// The Qt file set of the toolkit seam: the DeepBlue skin painted with QPainter on Qt widgets.
#pragma once

#include <QWidget>

#include "ui/qt/qt_window.h"
#include "ui/toolkit.h"

namespace kv::ui::qt {

class QtToolkit : public Toolkit {
 public:
  std::unique_ptr<Window> MakeWindow(const WindowSetup& setup, Window* owner) override;
  bool ChooseOpenFile(Window* owner, std::string& path) override;
  std::string FileNameFromText(const std::string& text) const override;
  std::string TextFromSystem(const std::string& message) const override;
  void ShowMessageDialog(Window* owner, const std::string& caption, const std::string& text,
                         DialogIcon icon) override;
  void ShowSystemError(Window* owner, const std::string& caption, const std::string& text) override;
  void ProcessPendingMessages() override;
  void Run(Window& main) override;
};

// The Qt widgets behind the seam, for the Qt-only parts (the screenshot tour, the smoke tests).
// Null for a window or control of another toolkit.
QWidget* WidgetOf(const Window* window);
QWidget* WidgetOf(const Control* control);
SuiForm* FrameOf(const Window* window);

}  // namespace kv::ui::qt
