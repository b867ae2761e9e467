#include "ui/win32/win32_window.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/skin_look.h"
#include "ui/win32/win32_skin.h"
#include "ui/win32/win32_text.h"

namespace kv::ui::win32 {

namespace {

constexpr const char* kWindowClass = "KrellvaneSkinWindow";
constexpr int kResizeEdge = 4;
constexpr int kDropListHeight = 160;

// The signed point in a mouse message's lParam (windowsx.h would also bring macros that clash
// with the window's method names).
POINT PointOf(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

void RegisterSkinClass() {
  static bool registered = false;
  if (registered) {
    return;
  }
  registered = true;
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIcon(GetModuleHandleA(nullptr), MAKEINTRESOURCE(1));
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExA(&windowClass);
}

RECT WorkArea(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &info)) {
    return info.rcWork;
  }
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

void CentreOn(HWND hwnd, const RECT& area) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(hwnd, nullptr, (area.left + area.right - width) / 2,
               (area.top + area.bottom - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

class Win32Busy : public Window::Busy {
 public:
  Win32Busy(HWND hwnd, int& count) : hwnd_(hwnd), count_(count) {
    ++count_;
    EnableWindow(hwnd_, FALSE);
    SetCursor(LoadCursor(nullptr, IDC_WAIT));
  }
  ~Win32Busy() override {
    // The input that came in meanwhile is dropped, not acted on after the check.
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
    --count_;
    EnableWindow(hwnd_, TRUE);
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
  }

 private:
  HWND hwnd_;
  int& count_;
};

}  // namespace

Win32Window::Win32Window(const WindowSetup& setup, HWND owner)
    : name_(setup.name),
      setup_(setup),
      clientBrush_(CreateSolidBrush(ToColorRef(kClientBackground))),
      whiteBrush_(CreateSolidBrush(RGB(255, 255, 255))) {
  RegisterSkinClass();
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  DWORD exStyle = 0;
  switch (setup.role) {
    case WindowRole::Main:
      style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_SYSMENU;
      exStyle |= WS_EX_APPWINDOW;
      break;
    case WindowRole::Dialog:
      style |= WS_SYSMENU;
      break;
    case WindowRole::Splash:
      exStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
      break;
  }
  hwnd_ = CreateWindowExA(exStyle, kWindowClass, Utf8ToAnsi(setup.title).c_str(), style,
                          CW_USEDEFAULT, CW_USEDEFAULT, setup.size.width, setup.size.height, owner,
                          nullptr, GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  HFONT font = MakeFont(setup.font);
  fonts_.push_back(font);
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

Win32Window::~Win32Window() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
  controls_.clear();
  for (HFONT font : fonts_) {
    DeleteObject(font);
  }
  DeleteObject(clientBrush_);
  DeleteObject(whiteBrush_);
}

Win32Window* Win32Window::FromHandle(HWND hwnd) {
  if (hwnd == nullptr) {
    return nullptr;
  }
  HWND root = GetAncestor(hwnd, GA_ROOT);
  char className[64] = {};
  GetClassNameA(root, className, sizeof(className));
  if (std::string(className) != kWindowClass) {
    return nullptr;
  }
  return reinterpret_cast<Win32Window*>(GetWindowLongPtrA(root, GWLP_USERDATA));
}

bool Win32Window::TranslateSkinKeys(const MSG& message) {
  if (message.message != WM_KEYDOWN) {
    return false;
  }
  Win32Window* window = FromHandle(message.hwnd);
  if (window == nullptr || window->busy_ > 0) {
    return false;
  }
  if (message.wParam == VK_F5) {
    const auto found = window->keys_.find(Key::F5);
    if (found != window->keys_.end()) {
      found->second->Click();
      return true;
    }
  }
  if (message.wParam == VK_RETURN) {
    for (const auto& entry : window->keys_) {
      if (entry.second->hwnd() == message.hwnd) {
        entry.second->Click();
        return true;
      }
    }
  }
  return false;
}

std::string Win32Window::Title() const {
  return AnsiToUtf8(WindowText(hwnd_));
}

void Win32Window::SetCaption(const std::string& caption) {
  caption_ = caption;
  RECT bar = TitleBarRect(FrameRect());
  InvalidateRect(hwnd_, &bar, FALSE);
}

Size Win32Window::GetSize() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return {r.right - r.left, r.bottom - r.top};
}

void Win32Window::Resize(Size size) {
  if (setup_.fixedSize) {
    return;
  }
  size.width = std::max(size.width, setup_.minimumWidth);
  SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Win32Window::FrameRect() const {
  if (!setup_.frameFillsWindow) {
    return {setup_.frame.left, setup_.frame.top, setup_.frame.left + setup_.frame.width,
            setup_.frame.top + setup_.frame.height};
  }
  RECT client{};
  GetClientRect(hwnd_, &client);
  return client;
}

Rect Win32Window::FrameBounds() const {
  const RECT r = FrameRect();
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool Win32Window::IsMaximized() const {
  return IsZoomed(hwnd_) != FALSE || (!IsWindowVisible(hwnd_) && maximiseWhenShown_);
}

Size Win32Window::NormalSize() const {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  GetWindowPlacement(hwnd_, &placement);
  const RECT& r = placement.rcNormalPosition;
  return {r.right - r.left, r.bottom - r.top};
}

void Win32Window::Maximize() {
  // A hidden window keeps the state for when it is shown; showing it now would be too early.
  if (!IsWindowVisible(hwnd_)) {
    maximiseWhenShown_ = true;
    return;
  }
  ShowWindow(hwnd_, SW_MAXIMIZE);
}

void Win32Window::Restore() {
  if (!IsWindowVisible(hwnd_)) {
    maximiseWhenShown_ = false;
    return;
  }
  ShowWindow(hwnd_, SW_RESTORE);
}

void Win32Window::Show() {
  if (!IsWindowVisible(hwnd_)) {
    if (setup_.placement == Placement::CentreOfOwner && GetWindow(hwnd_, GW_OWNER) != nullptr) {
      RECT owner{};
      GetWindowRect(GetWindow(hwnd_, GW_OWNER), &owner);
      CentreOn(hwnd_, owner);
    } else {
      CentreOn(hwnd_, WorkArea(hwnd_));
    }
  }
  ShowWindow(hwnd_, maximiseWhenShown_ ? SW_MAXIMIZE : SW_SHOW);
  maximiseWhenShown_ = false;
  closed_ = false;
}

void Win32Window::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
}

void Win32Window::Close() {
  closed_ = true;
  Hide();
  if (setup_.role == WindowRole::Main) {
    PostQuitMessage(0);
  }
}

bool Win32Window::IsVisible() const {
  return IsWindowVisible(hwnd_) != FALSE;
}

bool Win32Window::ShowPainted(std::chrono::milliseconds) {
  // UpdateWindow paints before it returns: the text is on the screen once it is back.
  Show();
  UpdateWindow(hwnd_);
  painted_ = IsWindowVisible(hwnd_) != FALSE;
  return painted_;
}

int Win32Window::RunModal() {
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner != nullptr) {
    EnableWindow(owner, FALSE);
  }
  Show();
  MSG message;
  bool quit = false;
  while (!closed_) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got <= 0) {
      quit = true;
      break;
    }
    if (!TranslateSkinKeys(message) && !IsDialogMessageA(hwnd_, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  if (owner != nullptr) {
    EnableWindow(owner, TRUE);
    SetForegroundWindow(owner);
  }
  Hide();
  if (quit) {
    PostQuitMessage(static_cast<int>(message.wParam));
  }
  return 0;
}

HWND Win32Window::MakeChild(const char* windowClass, DWORD style, const ControlSetup& setup,
                            const std::string& text, int extraHeight) {
  const RECT frame = FrameRect();
  HWND child = CreateWindowExA(
      0, windowClass, WithCrLf(Utf8ToAnsi(text)).c_str(), WS_CHILD | WS_VISIBLE | style,
      frame.left + setup.bounds.left, frame.top + setup.bounds.top, setup.bounds.width,
      setup.bounds.height + extraHeight, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)), GetModuleHandleA(nullptr), nullptr);
  HFONT font = MakeFont(setup.font);
  fonts_.push_back(font);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SetWindowTextA(child, WithCrLf(Utf8ToAnsi(text)).c_str());
  return child;
}

template <class Made>
Made& Win32Window::Keep(std::unique_ptr<Made> control) {
  Made& kept = *control;
  SetWindowSubclass(kept.hwnd(), &ControlProcedure, 1, reinterpret_cast<DWORD_PTR>(&kept));
  controls_.push_back(std::move(control));
  return kept;
}

Win32ControlBase* Win32Window::ControlOf(HWND child) const {
  for (const auto& control : controls_) {
    if (control->hwnd() == child) {
      return control.get();
    }
  }
  return nullptr;
}

Label& Win32Window::AddLabel(const ControlSetup& setup, const std::string& text, bool wordWrap) {
  HWND label =
      MakeChild("STATIC", (wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | SS_NOPREFIX, setup, text);
  if (setup.bounds.width == 0) {
    // Sized to its text.
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    const std::string ansi = Utf8ToAnsi(text);
    SIZE extent{};
    GetTextExtentPoint32A(dc, ansi.c_str(), static_cast<int>(ansi.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, extent.cx, extent.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32Label>(label, setup.colour, frame.left, frame.top));
}

LinkLabel& Win32Window::AddLinkLabel(const ControlSetup& setup) {
  HWND label = MakeChild("STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, setup, {});
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32LinkLabel>(label, setup.colour, frame.left, frame.top));
}

Edit& Win32Window::AddEdit(const ControlSetup& setup) {
  HWND edit = MakeChild("EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, setup, {});
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32Edit>(edit, setup.colour, frame.left, frame.top));
}

PushButton& Win32Window::AddPushButton(const ControlSetup& setup, const std::string& text) {
  HWND button = MakeChild("BUTTON", BS_OWNERDRAW | WS_TABSTOP, setup, text);
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32PushButton>(button, setup.colour, frame.left, frame.top,
                                                fonts_.back()));
}

PictureButton& Win32Window::AddPictureButton(const ControlSetup& setup, PictureKind) {
  HWND button = MakeChild("BUTTON", BS_OWNERDRAW | WS_TABSTOP, setup, {});
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32PictureButton>(button, setup.colour, frame.left, frame.top));
}

DropDown& Win32Window::AddDropDown(const ControlSetup& setup, int itemHeight) {
  HWND box =
      MakeChild("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, setup, {}, kDropListHeight);
  // The closed box keeps the layout's height; the list's lines have the given height.
  SendMessageA(box, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), setup.bounds.height - 6);
  SendMessageA(box, CB_SETITEMHEIGHT, 0, itemHeight);
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32DropDown>(box, setup.colour, frame.left, frame.top));
}

Memo& Win32Window::AddMemo(const ControlSetup& setup) {
  HWND memo = MakeChild("EDIT",
                        WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
                            ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                        setup, {});
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32Memo>(memo, setup.colour, frame.left, frame.top));
}

Bevel& Win32Window::AddBevel(const ControlSetup& setup) {
  HWND bevel = MakeChild("STATIC", SS_ETCHEDFRAME, setup, {});
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32Bevel>(bevel, setup.colour, frame.left, frame.top));
}

Picture& Win32Window::AddPicture(const ControlSetup& setup, PictureKind picture) {
  HWND view = MakeChild("STATIC", SS_OWNERDRAW, setup, {});
  const RECT frame = FrameRect();
  return Keep(std::make_unique<Win32Picture>(view, frame.left, frame.top, picture));
}

void Win32Window::SetTabOrder(const std::vector<Control*>& order) {
  // The dialog keys follow the z-order: each control goes right after the one before it.
  HWND previous = nullptr;
  for (Control* control : order) {
    auto* made = dynamic_cast<Win32ControlBase*>(control);
    if (made == nullptr) {
      continue;
    }
    SetWindowPos(made->hwnd(), previous != nullptr ? previous : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (previous == nullptr) {
      SetFocus(made->hwnd());
    }
    previous = made->hwnd();
  }
}

void Win32Window::AddKeyPress(Key key, PictureButton& button) {
  if (auto* made = dynamic_cast<Win32PictureButton*>(&button)) {
    keys_[key] = made;
  }
}

std::unique_ptr<Window::Busy> Win32Window::BeginBusy() {
  return std::make_unique<Win32Busy>(hwnd_, busy_);
}

TitleButton Win32Window::TitleButtonAt(POINT client) const {
  if (!setup_.titleBar) {
    return kNoButtons;
  }
  const RECT frame = FrameRect();
  for (const TitleButton button : {kMinimize, kMaximize, kClose}) {
    if ((setup_.titleButtons & button) == 0) {
      continue;
    }
    const RECT r = TitleButtonRect(frame, setup_.titleButtons, button);
    if (PtInRect(&r, client)) {
      return button;
    }
  }
  return kNoButtons;
}

LRESULT CALLBACK Win32Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (window == nullptr) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return window->Handle(message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::ControlProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* control = reinterpret_cast<Win32ControlBase*>(data);
  switch (message) {
    case WM_MOUSEMOVE:
      if (!control->hot()) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        control->SetHot(true);
      }
      break;
    case WM_MOUSELEAVE:
      control->SetHot(false);
      break;
    case WM_SETCURSOR:
      if (dynamic_cast<Win32LinkLabel*>(control) != nullptr) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd_, &paint);
      RECT client{};
      GetClientRect(hwnd_, &client);
      HBRUSH chrome = CreateSolidBrush(ToColorRef(kChromeColour));
      FillRect(dc, &client, chrome);
      DeleteObject(chrome);
      PaintFrame(dc, FrameRect(), setup_.titleBar, setup_.titleButtons, IsZoomed(hwnd_) != FALSE,
                 Utf8ToAnsi(caption_), kNoButtons);
      EndPaint(hwnd_, &paint);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = setup_.minimumWidth;
      const RECT area = WorkArea(hwnd_);
      info->ptMaxPosition = {area.left, area.top};
      info->ptMaxSize = {area.right - area.left, area.bottom - area.top};
      return 0;
    }
    case WM_NCHITTEST: {
      POINT point = PointOf(lParam);
      ScreenToClient(hwnd_, &point);
      RECT client{};
      GetClientRect(hwnd_, &client);
      if (!setup_.fixedSize && setup_.role == WindowRole::Main && !IsZoomed(hwnd_)) {
        const bool right = point.x >= client.right - kResizeEdge;
        const bool bottom = point.y >= client.bottom - kResizeEdge;
        if (right && bottom) {
          return HTBOTTOMRIGHT;
        }
        if (right) {
          return HTRIGHT;
        }
        if (bottom) {
          return HTBOTTOM;
        }
      }
      const RECT bar = TitleBarRect(FrameRect());
      if (setup_.titleBar && PtInRect(&bar, point) && TitleButtonAt(point) == kNoButtons) {
        return HTCAPTION;
      }
      return HTCLIENT;
    }
    case WM_NCLBUTTONDBLCLK:
      if (wParam == HTCAPTION && (setup_.titleButtons & kMaximize) != 0) {
        ShowWindow(hwnd_, IsZoomed(hwnd_) ? SW_RESTORE : SW_MAXIMIZE);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
      pressedButton_ = TitleButtonAt(PointOf(lParam));
      return 0;
    case WM_LBUTTONUP: {
      const TitleButton released = TitleButtonAt(PointOf(lParam));
      const TitleButton pressed = pressedButton_;
      pressedButton_ = kNoButtons;
      if (released == kNoButtons || released != pressed) {
        return 0;
      }
      if (released == kMinimize) {
        ShowWindow(hwnd_, SW_MINIMIZE);
      } else if (released == kMaximize) {
        ShowWindow(hwnd_, IsZoomed(hwnd_) ? SW_RESTORE : SW_MAXIMIZE);
      } else {
        Close();
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (busy_ > 0) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      if (Win32ControlBase* control = ControlOf(reinterpret_cast<HWND>(lParam))) {
        control->OnCommand(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (Win32ControlBase* control = ControlOf(item->hwndItem)) {
        if (control->Draw(*item)) {
          return TRUE;
        }
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      Win32ControlBase* control = ControlOf(reinterpret_cast<HWND>(lParam));
      if (control == nullptr) {
        break;
      }
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, ToColorRef(control->TextColour()));
      const bool white = control->WhiteBackground();
      SetBkColor(dc, white ? RGB(255, 255, 255) : ToColorRef(kClientBackground));
      return reinterpret_cast<LRESULT>(white ? whiteBrush_ : clientBrush_);
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd_, message, wParam, lParam);
}

}  // namespace kv::ui::win32
