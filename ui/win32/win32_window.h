// A skinned window as a user32 pop-up window: no system frame, the DeepBlue frame painted with
// GDI, the title bar's drag and double-click left to the system through hit testing.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/win32/win32_controls.h"
#include "ui/window.h"

namespace kv::ui::win32 {

class Win32Window : public Window {
 public:
  Win32Window(const WindowSetup& setup, HWND owner);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The skinned window a message is for (through its top-level ancestor); null for others.
  static Win32Window* FromHandle(HWND hwnd);
  // The window's own keys: F5, Enter on a picture button. True when the message was used.
  static bool TranslateSkinKeys(const MSG& message);

  const char* Name() const override { return name_; }
  std::string Title() const override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override { return caption_; }

  Size GetSize() const override;
  void Resize(Size size) override;
  Rect FrameBounds() const override;
  bool IsMaximized() const override;
  Size NormalSize() const override;
  void Maximize() override;
  void Restore() override;

  void Show() override;
  void Hide() override;
  void Close() override;
  bool IsVisible() const override;
  bool ShowPainted(std::chrono::milliseconds bound) override;
  bool PaintedOnScreen() const override { return painted_; }
  int RunModal() override;

  Label& AddLabel(const ControlSetup& setup, const std::string& text, bool wordWrap) override;
  LinkLabel& AddLinkLabel(const ControlSetup& setup) override;
  Edit& AddEdit(const ControlSetup& setup) override;
  PushButton& AddPushButton(const ControlSetup& setup, const std::string& text) override;
  PictureButton& AddPictureButton(const ControlSetup& setup, PictureKind picture) override;
  DropDown& AddDropDown(const ControlSetup& setup, int itemHeight) override;
  Memo& AddMemo(const ControlSetup& setup) override;
  Bevel& AddBevel(const ControlSetup& setup) override;
  Picture& AddPicture(const ControlSetup& setup, PictureKind picture) override;

  void SetTabOrder(const std::vector<Control*>& order) override;
  void AddKeyPress(Key key, PictureButton& button) override;
  std::unique_ptr<Busy> BeginBusy() override;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR data);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  RECT FrameRect() const;
  TitleButton TitleButtonAt(POINT client) const;
  HWND MakeChild(const char* windowClass, DWORD style, const ControlSetup& setup,
                 const std::string& text, int extraHeight = 0);
  template <class Made>
  Made& Keep(std::unique_ptr<Made> control);
  Win32ControlBase* ControlOf(HWND child) const;

  const char* name_;
  WindowSetup setup_;
  HWND hwnd_ = nullptr;
  std::string caption_;
  bool painted_ = false;
  bool closed_ = false;
  bool maximiseWhenShown_ = false;
  int busy_ = 0;
  TitleButton pressedButton_ = kNoButtons;
  int nextId_ = 100;
  HBRUSH clientBrush_;
  HBRUSH whiteBrush_;
  std::vector<HFONT> fonts_;
  std::vector<std::unique_ptr<Win32ControlBase>> controls_;
  std::map<Key, Win32PictureButton*> keys_;
};

}  // namespace kv::ui::win32
