// The one seam between the windows and a toolkit: it makes the windows and offers the dialogs and
// the message handling. Each toolkit is one file set (ui/qt/, ui/win32/) behind it; the forms know
// only this header, and the tests put a recording fake in its place.
#pragma once

#include <memory>
#include <string>

#include "ui/window.h"

namespace kv::ui {

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // owner may be null.
  virtual std::unique_ptr<Window> MakeWindow(const WindowSetup& setup, Window* owner) = 0;

  // The file-open dialog for any existing file. False when the user cancels.
  virtual bool ChooseOpenFile(Window* owner, std::string& path) = 0;
  // The skinned modal message dialog with one "OK" button.
  virtual void ShowMessageDialog(Window* owner, const std::string& caption, const std::string& text,
                                 DialogIcon icon) = 0;
  // The system's own error box with one OK button.
  virtual void ShowSystemError(Window* owner, const std::string& caption,
                               const std::string& text) = 0;

  // Controls hold UTF-8. The name the system's file calls take for a file name typed or chosen
  // in a window (on Windows the ANSI code page, where a character it lacks cannot name a file).
  virtual std::string FileNameFromText(const std::string& text) const = 0;
  // Window text from a message the system gave in its own encoding (a reason for a failed write).
  virtual std::string TextFromSystem(const std::string& message) const = 0;

  // Handles what is waiting (painting, timers, the window system) except input, which stays
  // queued; returns at once when nothing waits.
  virtual void ProcessPendingMessages() = 0;
  // Runs the message loop until the main window closes.
  virtual void Run(Window& main) = 0;
};

}  // namespace kv::ui
