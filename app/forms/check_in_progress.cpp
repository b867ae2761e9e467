#include "app/forms/check_in_progress.h"

namespace kv {

CheckInProgress::CheckInProgress(ui::Window& window, ui::PictureButton& button,
                                 ui::Toolkit& toolkit, AtapiDevice& device)
    : button_(button),
      device_(device),
      buttonHadFocus_(button.HasFocus()),
      busy_(window.BeginBusy()) {
  button_.SetEnabled(false);
  device_.SetWaitHook([&toolkit] { toolkit.ProcessPendingMessages(); });
}

CheckInProgress::~CheckInProgress() {
  device_.SetWaitHook({});
  busy_.reset();
  button_.SetEnabled(true);
  // Disabling the focused button moved the focus on; a keyboard user gets it back.
  if (buttonHadFocus_) {
    button_.SetFocus();
  }
}

}  // namespace kv
