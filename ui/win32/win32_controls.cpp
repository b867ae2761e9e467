#include "ui/win32/win32_controls.h"

#include <shellapi.h>

#include "ui/skin_look.h"
#include "ui/win32/win32_skin.h"
#include "ui/win32/win32_text.h"

namespace kv::ui::win32 {

std::string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void Win32ControlBase::SetHot(bool hot) {
  if (hot_ != hot) {
    hot_ = hot;
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

Rect Win32ControlBase::BoundsOnFrame() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  return {r.left - frameLeft_, r.top - frameTop_, r.right - r.left, r.bottom - r.top};
}

template <class Interface>
void Win32TextControl<Interface>::SetText(const std::string& text) {
  SetWindowTextA(this->hwnd_, WithCrLf(Utf8ToAnsi(text)).c_str());
}

template <class Interface>
std::string Win32TextControl<Interface>::Text() const {
  return WithoutCr(AnsiToUtf8(WindowText(this->hwnd_)));
}

template class Win32TextControl<Label>;
template class Win32TextControl<Edit>;
template class Win32TextControl<LinkLabel>;
template class Win32TextControl<PushButton>;

Rgb Win32LinkLabel::TextColour() const {
  return hot_ ? kLinkHoverColour : kLinkColour;
}

void Win32LinkLabel::OnCommand(WORD code) {
  if (code == STN_CLICKED) {
    ShellExecuteA(GetAncestor(hwnd_, GA_ROOT), "open", kMakerWebAddress, nullptr, nullptr,
                  SW_SHOWNORMAL);
  }
}

bool Win32Picture::Draw(const DRAWITEMSTRUCT& item) {
  if (kind_ == PictureKind::Logo) {
    PaintLogoPicture(item.hDC, item.rcItem);
  } else {
    PaintQuestionPicture(item.hDC, item.rcItem, PictureState::Normal);
  }
  return true;
}

void Win32PushButton::Click() {
  if (EnabledWindow() && handler_) {
    handler_();
  }
}

void Win32PushButton::OnCommand(WORD code) {
  if (code == BN_CLICKED) {
    Click();
  }
}

bool Win32PushButton::Draw(const DRAWITEMSTRUCT& item) {
  PaintPushButton(item.hDC, item.rcItem, Utf8ToAnsi(Text()), font_, colour_,
                  (item.itemState & ODS_SELECTED) != 0, hot_, (item.itemState & ODS_FOCUS) != 0,
                  (item.itemState & ODS_DISABLED) == 0);
  return true;
}

void Win32PictureButton::Click() {
  if (EnabledWindow() && handler_) {
    handler_();
  }
}

PictureState Win32PictureButton::State() const {
  const LRESULT pushed = SendMessageA(hwnd_, BM_GETSTATE, 0, 0) & BST_PUSHED;
  if (!EnabledWindow() || pushed != 0) {
    return PictureState::Pressed;
  }
  return hot_ || Focused() ? PictureState::MouseOver : PictureState::Normal;
}

void Win32PictureButton::OnCommand(WORD code) {
  if (code == BN_CLICKED) {
    Click();
  }
}

bool Win32PictureButton::Draw(const DRAWITEMSTRUCT& item) {
  // No focus rectangle: focus shows as the mouse-over picture.
  PictureState state = State();
  if ((item.itemState & (ODS_SELECTED | ODS_DISABLED)) != 0) {
    state = PictureState::Pressed;
  }
  PaintQuestionPicture(item.hDC, item.rcItem, state);
  return true;
}

void Win32DropDown::Clear() {
  SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
}

void Win32DropDown::AddItem(const std::string& text) {
  const std::string ansi = Utf8ToAnsi(text);
  SendMessageA(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
}

int Win32DropDown::Count() const {
  return static_cast<int>(SendMessageA(hwnd_, CB_GETCOUNT, 0, 0));
}

int Win32DropDown::ItemIndex() const {
  return static_cast<int>(SendMessageA(hwnd_, CB_GETCURSEL, 0, 0));
}

void Win32DropDown::SetItemIndex(int index) {
  // CB_SETCURSEL sends no CBN_SELCHANGE: the form's own choice stays quiet.
  SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Win32DropDown::OnCommand(WORD code) {
  if (code == CBN_SELCHANGE && handler_) {
    handler_();
  }
}

void Win32Memo::Clear() {
  SetWindowTextA(hwnd_, "");
}

void Win32Memo::AppendLine(const std::string& line) {
  const int end = GetWindowTextLengthA(hwnd_);
  const std::string text = (end > 0 ? "\r\n" : "") + WithCrLf(Utf8ToAnsi(line));
  SendMessageA(hwnd_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  SendMessageA(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<std::string> Win32Memo::Lines() const {
  const std::string text = AnsiToUtf8(WindowText(hwnd_));
  std::vector<std::string> lines;
  if (text.empty()) {
    return lines;
  }
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) {
      break;
    }
    start = end + 2;
  }
  return lines;
}

}  // namespace kv::ui::win32
