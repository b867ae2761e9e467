#include "drive/platform/win32/win32_message_box_notifier.h"

namespace kv::win32 {

MessageBoxNotifier::MessageBoxNotifier(MessageBoxCall call) : call_(std::move(call)) {}

MessageBoxCall MessageBoxNotifier::SystemMessageBox() {
  return [](HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return MessageBoxA(owner, text, caption, type);
  };
}

void MessageBoxNotifier::ShowError(const std::string& text, const std::string& caption) {
  call_(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace kv::win32
