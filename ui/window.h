// A skinned window: the system frame replaced by the drawn one (a border, the title bar with its
// caption and buttons, the light client area), and the controls its form places on it.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/skin_look.h"
#include "ui/toolkit_types.h"

namespace kv::ui {

enum class WindowRole {
  Main,    // the application's window
  Dialog,  // a modal box over its owner
  Splash,  // title-less, stays on top, takes no part in the task bar
};

// Where a window appears when it is first shown.
enum class Placement { CentreOfScreen, CentreOfOwner };

struct WindowSetup {
  const char* name = "";
  std::string title;  // the system's title (task bar); the drawn caption is set apart
  WindowRole role = WindowRole::Dialog;
  Size size;
  bool fixedSize = false;
  int minimumWidth = 0;
  bool titleBar = true;
  int titleButtons = kNoButtons;
  // The drawn frame covers the window at every size; otherwise it sits at `frame`.
  bool frameFillsWindow = true;
  Rect frame;
  Placement placement = Placement::CentreOfScreen;
  FontStyle font{kMsSansSerif, 8};
};

// A control's name, place and font; a width of 0 sizes a label to its text.
struct ControlSetup {
  const char* name = "";
  Rect bounds;
  FontStyle font{kMsSansSerif, 8};
  Rgb colour = kBlack;
};

class Window {
 public:
  virtual ~Window() = default;

  virtual const char* Name() const = 0;
  virtual std::string Title() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual std::string Caption() const = 0;

  virtual Size GetSize() const = 0;
  virtual void Resize(Size size) = 0;
  virtual Rect FrameBounds() const = 0;
  virtual bool IsMaximized() const = 0;
  // The size the window has when not maximised.
  virtual Size NormalSize() const = 0;
  virtual void Maximize() = 0;
  virtual void Restore() = 0;

  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void Close() = 0;
  virtual bool IsVisible() const = 0;
  // Shows the window and returns once its controls are on the screen, or after `bound` (a display
  // that never exposes it must not hold the caller). True when painted.
  virtual bool ShowPainted(std::chrono::milliseconds bound) = 0;
  virtual bool PaintedOnScreen() const = 0;
  // Shows the window modally and returns when it closes.
  virtual int RunModal() = 0;

  virtual Label& AddLabel(const ControlSetup& setup, const std::string& text, bool wordWrap) = 0;
  virtual LinkLabel& AddLinkLabel(const ControlSetup& setup) = 0;
  virtual Edit& AddEdit(const ControlSetup& setup) = 0;
  virtual PushButton& AddPushButton(const ControlSetup& setup, const std::string& text) = 0;
  virtual PictureButton& AddPictureButton(const ControlSetup& setup, PictureKind picture) = 0;
  virtual DropDown& AddDropDown(const ControlSetup& setup, int itemHeight) = 0;
  virtual Memo& AddMemo(const ControlSetup& setup) = 0;
  virtual Bevel& AddBevel(const ControlSetup& setup) = 0;
  virtual Picture& AddPicture(const ControlSetup& setup, PictureKind picture) = 0;

  // The keyboard path through the controls; the first one gets the focus.
  virtual void SetTabOrder(const std::vector<Control*>& order) = 0;
  // A key anywhere in the window presses the button (a disabled one ignores it).
  virtual void AddKeyPress(Key key, PictureButton& button) = 0;

  // While the returned object lives: a busy cursor, and no input for the window, which keeps
  // being painted. Input that came in meanwhile is dropped when it goes.
  class Busy {
   public:
    virtual ~Busy() = default;
  };
  virtual std::unique_ptr<Busy> BeginBusy() = 0;
};

}  // namespace kv::ui
