#include "app/forms/check_in_progress.h"

#include <QApplication>
#include <QEventLoop>

namespace kv {

CheckInProgress::CheckInProgress(QWidget& window, QAbstractButton& button, AtapiDevice& device)
    : button_(button), device_(device), buttonHadFocus_(button.hasFocus()), blocker_(window) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  button_.setEnabled(false);
  device_.SetWaitHook([] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
}

CheckInProgress::~CheckInProgress() {
  device_.SetWaitHook({});
  blocker_.DropQueuedInput();
  button_.setEnabled(true);
  // Disabling the focused button moved the focus on; a keyboard user gets it back.
  if (buttonHadFocus_) {
    button_.setFocus(Qt::OtherFocusReason);
  }
  QApplication::restoreOverrideCursor();
}

}  // namespace kv
