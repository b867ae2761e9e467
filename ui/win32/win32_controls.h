// The toolkit's controls as user32 child windows of a skinned window: standard controls where
// they fit (static, edit, combo box), owner-drawn buttons and pictures for the skin's own looks.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace kv::ui::win32 {

// What the window needs of every control: its handle, its colours, and its share of the window's
// notifications.
class Win32ControlBase {
 public:
  Win32ControlBase(HWND hwnd, Rgb colour, int frameLeft, int frameTop)
      : hwnd_(hwnd), colour_(colour), frameLeft_(frameLeft), frameTop_(frameTop) {}
  virtual ~Win32ControlBase() = default;
  HWND hwnd() const { return hwnd_; }
  virtual Rgb TextColour() const { return colour_; }
  // A white box (the memo, the edit) instead of the client colour.
  virtual bool WhiteBackground() const { return false; }
  virtual void OnCommand(WORD) {}
  // Owner drawing; false when the control draws itself.
  virtual bool Draw(const DRAWITEMSTRUCT&) { return false; }
  void SetHot(bool hot);
  bool hot() const { return hot_; }

  Rect BoundsOnFrame() const;
  void SetEnabledWindow(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
  bool EnabledWindow() const { return IsWindowEnabled(hwnd_) != FALSE; }
  bool Focused() const { return GetFocus() == hwnd_; }
  void Focus() { SetFocus(hwnd_); }

 protected:
  HWND hwnd_;
  Rgb colour_;
  int frameLeft_;
  int frameTop_;
  bool hot_ = false;
};

std::string WindowText(HWND hwnd);

template <class Interface>
class Win32Control : public Interface, public Win32ControlBase {
 public:
  using Win32ControlBase::Win32ControlBase;
  Rect Bounds() const override { return BoundsOnFrame(); }
  void SetEnabled(bool enabled) override { SetEnabledWindow(enabled); }
  bool Enabled() const override { return EnabledWindow(); }
  bool HasFocus() const override { return Focused(); }
  void SetFocus() override { Focus(); }
};

template <class Interface>
class Win32TextControl : public Win32Control<Interface> {
 public:
  using Win32Control<Interface>::Win32Control;
  void SetText(const std::string& text) override;
  std::string Text() const override;
};

using Win32Label = Win32TextControl<Label>;
using Win32Bevel = Win32Control<Bevel>;

class Win32Edit : public Win32TextControl<Edit> {
 public:
  using Win32TextControl::Win32TextControl;
  bool WhiteBackground() const override { return true; }
};

class Win32LinkLabel : public Win32TextControl<LinkLabel> {
 public:
  using Win32TextControl::Win32TextControl;
  Rgb TextColour() const override;
  void OnCommand(WORD code) override;
};

class Win32Picture : public Win32Control<Picture> {
 public:
  Win32Picture(HWND hwnd, int frameLeft, int frameTop, PictureKind kind)
      : Win32Control(hwnd, 0, frameLeft, frameTop), kind_(kind) {}
  bool Draw(const DRAWITEMSTRUCT& item) override;

 private:
  PictureKind kind_;
};

class Win32PushButton : public Win32TextControl<PushButton> {
 public:
  Win32PushButton(HWND hwnd, Rgb colour, int frameLeft, int frameTop, HFONT font)
      : Win32TextControl(hwnd, colour, frameLeft, frameTop), font_(font) {}
  void OnClick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Click() override;
  void OnCommand(WORD code) override;
  bool Draw(const DRAWITEMSTRUCT& item) override;

 private:
  HFONT font_;
  std::function<void()> handler_;
};

class Win32PictureButton : public Win32Control<PictureButton> {
 public:
  using Win32Control::Win32Control;
  void OnClick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Click() override;
  PictureState State() const override;
  void OnCommand(WORD code) override;
  bool Draw(const DRAWITEMSTRUCT& item) override;

 private:
  std::function<void()> handler_;
};

class Win32DropDown : public Win32Control<DropDown> {
 public:
  using Win32Control::Win32Control;
  bool WhiteBackground() const override { return true; }
  void Clear() override;
  void AddItem(const std::string& text) override;
  int Count() const override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  void OnChange(std::function<void()> handler) override { handler_ = std::move(handler); }
  void OnCommand(WORD code) override;

 private:
  std::function<void()> handler_;
};

class Win32Memo : public Win32Control<Memo> {
 public:
  using Win32Control::Win32Control;
  bool WhiteBackground() const override { return true; }
  void Clear() override;
  void AppendLine(const std::string& line) override;
  std::vector<std::string> Lines() const override;
};

}  // namespace kv::ui::win32
