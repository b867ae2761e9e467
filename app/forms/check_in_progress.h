// What the main window does for the length of one media check: a busy cursor, the "?" button
// disabled, no input for the window, and the window kept painted while the drive becomes ready.
//
// The check runs on the window's thread and blocks it; the only long pauses are the readiness
// polls, so the device's wait hook lets the window handle everything but input there. Input that
// arrives meanwhile is dropped when the check ends, so a second press cannot start a check behind
// the first.
#pragma once

#include <memory>

#include "drive/atapi_device.h"
#include "ui/toolkit.h"

namespace kv {

class CheckInProgress {
 public:
  CheckInProgress(ui::Window& window, ui::PictureButton& button, ui::Toolkit& toolkit,
                  AtapiDevice& device);
  ~CheckInProgress();
  CheckInProgress(const CheckInProgress&) = delete;
  CheckInProgress& operator=(const CheckInProgress&) = delete;

 private:
  ui::PictureButton& button_;
  AtapiDevice& device_;
  bool buttonHadFocus_;
  std::unique_ptr<ui::Window::Busy> busy_;
};

}  // namespace kv
