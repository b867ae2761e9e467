// What the main window does for the length of one media check: a busy cursor, the "?" button
// disabled, no input for the window, and the window kept painted while the drive becomes ready.
//
// The check runs on the GUI thread and blocks it; the only long pauses are the readiness polls,
// so the device's wait hook lets the window handle everything but input there. Input that arrives
// meanwhile is dropped when the check ends, so a second press cannot start a check behind the
// first; a request to close the window is kept and acted on after the check.
#pragma once

#include <QAbstractButton>
#include <QWidget>

#include "drive/atapi_device.h"
#include "ui/input_blocker.h"

namespace kv {

class CheckInProgress {
 public:
  CheckInProgress(QWidget& window, QAbstractButton& button, AtapiDevice& device);
  ~CheckInProgress();
  CheckInProgress(const CheckInProgress&) = delete;
  CheckInProgress& operator=(const CheckInProgress&) = delete;

 private:
  QAbstractButton& button_;
  AtapiDevice& device_;
  bool buttonHadFocus_;
  ui::InputBlocker blocker_;
};

}  // namespace kv
