// The Win32 file set of the toolkit seam: user32 windows with the DeepBlue skin drawn with GDI,
// the common file dialog and the system's message boxes.
#pragma once

#include <windows.h>

#include "ui/toolkit.h"

namespace kv::ui::win32 {

class Win32Toolkit : public Toolkit {
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

// The window handle behind the seam; null for a window of another toolkit.
HWND HandleOf(const Window* window);
HWND HandleOf(const Control* control);

}  // namespace kv::ui::win32
