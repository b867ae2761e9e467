// The drive layer's messages as system message boxes: no owner window, the error icon, one OK
// button.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "drive/notifier.h"

namespace kv::win32 {

using MessageBoxCall = std::function<int(HWND, LPCSTR, LPCSTR, UINT)>;

class MessageBoxNotifier : public Notifier {
 public:
  explicit MessageBoxNotifier(MessageBoxCall call = SystemMessageBox());
  void ShowError(const std::string& text, const std::string& caption) override;

  static MessageBoxCall SystemMessageBox();

 private:
  MessageBoxCall call_;
};

}  // namespace kv::win32
