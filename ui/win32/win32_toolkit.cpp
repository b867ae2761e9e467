#include "ui/win32/win32_toolkit.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "ui/win32/win32_text.h"
#include "ui/win32/win32_window.h"

namespace kv::ui::win32 {

namespace {

// The skinned message dialog: icon, text, one "OK" button.
constexpr int kDialogWidth = 360;
constexpr int kMargin = 14;
constexpr int kIconSide = 32;
constexpr int kTitleHeight = 22;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kTextLineHeight = 13;

int TextLines(const std::string& text) {
  return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

HWND HandleOf(const Window* window) {
  const auto* made = dynamic_cast<const Win32Window*>(window);
  return made != nullptr ? made->hwnd() : nullptr;
}

HWND HandleOf(const Control* control) {
  const auto* made = dynamic_cast<const Win32ControlBase*>(control);
  return made != nullptr ? made->hwnd() : nullptr;
}

std::unique_ptr<Window> Win32Toolkit::MakeWindow(const WindowSetup& setup, Window* owner) {
  return std::make_unique<Win32Window>(setup, HandleOf(owner));
}

bool Win32Toolkit::ChooseOpenFile(Window* owner, std::string& path) {
  std::vector<char> file(MAX_PATH * 4, '\0');
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = HandleOf(owner);
  dialog.lpstrFilter = "Any Files(*.*)\0*.*\0";
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!GetOpenFileNameA(&dialog)) {
    return false;
  }
  path = AnsiToUtf8(file.data());
  return true;
}

std::string Win32Toolkit::FileNameFromText(const std::string& text) const {
  return Utf8ToAnsi(text);
}

std::string Win32Toolkit::TextFromSystem(const std::string& message) const {
  return AnsiToUtf8(message);
}

void Win32Toolkit::ShowMessageDialog(Window* owner, const std::string& caption,
                                     const std::string& text, DialogIcon icon) {
  const int textHeight = std::max(kIconSide, TextLines(text) * kTextLineHeight);
  WindowSetup setup;
  setup.name = "suiMsgBox";
  setup.title = caption;
  setup.role = WindowRole::Dialog;
  setup.size = {kDialogWidth,
                kTitleHeight + kMargin + textHeight + kMargin + kButtonHeight + kMargin};
  setup.fixedSize = true;
  setup.titleButtons = kClose;
  setup.placement = owner != nullptr ? Placement::CentreOfOwner : Placement::CentreOfScreen;
  Win32Window dialog(setup, HandleOf(owner));
  dialog.SetCaption(caption);
  const int top = kTitleHeight + kMargin;
  HWND iconView =
      CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, kMargin, top, kIconSide,
                      kIconSide, dialog.hwnd(), nullptr, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(iconView, STM_SETICON,
               reinterpret_cast<WPARAM>(
                   LoadIcon(nullptr, icon == DialogIcon::Stop ? IDI_ERROR : IDI_INFORMATION)),
               0);
  const int textLeft = kMargin + kIconSide + kMargin;
  dialog.AddLabel({"lblText",
                   {textLeft, top, kDialogWidth - textLeft - kMargin, textHeight},
                   {kVerdana, 8},
                   kBlack},
                  text, true);
  PushButton& ok = dialog.AddPushButton(
      {"cmdOK",
       {(kDialogWidth - kButtonWidth) / 2, top + textHeight + kMargin, kButtonWidth, kButtonHeight},
       {kVerdana, 8, true},
       kBlack},
      "OK");
  ok.OnClick([&dialog] { dialog.Close(); });
  ok.SetFocus();
  dialog.RunModal();
}

void Win32Toolkit::ShowSystemError(Window* owner, const std::string& caption,
                                   const std::string& text) {
  MessageBoxA(HandleOf(owner), Utf8ToAnsi(text).c_str(), Utf8ToAnsi(caption).c_str(),
              MB_OK | MB_ICONERROR);
}

void Win32Toolkit::ProcessPendingMessages() {
  // Painting, sent and posted messages (timers among them); input stays queued.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0,
                      PM_REMOVE | PM_QS_PAINT | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void Win32Toolkit::Run(Window& main) {
  HWND root = HandleOf(&main);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (Win32Window::TranslateSkinKeys(message)) {
      continue;
    }
    if (root != nullptr && IsDialogMessageA(root, &message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace kv::ui::win32
