// A toolkit that draws nothing: it keeps every window, control and dialog the forms ask for, so
// that the forms' logic runs without a display, on every system. Input comes from the test
// (UserClick, UserPick, PressKey) and is refused while a window is busy, as a real one refuses it.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/toolkit.h"

namespace kv::test {

class FakeToolkit;
class FakeWindow;

// What all fake controls share: place, state and the window they sit on.
class FakeControlState {
 public:
  FakeControlState(FakeWindow& window, const ui::ControlSetup& setup);
  virtual ~FakeControlState() = default;
  const std::string& name() const { return name_; }
  const ui::FontStyle& font() const { return font_; }
  ui::Rgb colour() const { return colour_; }
  FakeWindow& window() const { return window_; }

 protected:
  FakeWindow& window_;
  std::string name_;
  ui::Rect bounds_;
  ui::FontStyle font_;
  ui::Rgb colour_;
  bool enabled_ = true;
};

template <class Interface>
class FakeControl : public Interface, public FakeControlState {
 public:
  using FakeControlState::FakeControlState;
  ui::Rect Bounds() const override { return bounds_; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  bool Enabled() const override { return enabled_; }
  bool HasFocus() const override;
  void SetFocus() override;
};

template <class Interface>
class FakeTextControl : public FakeControl<Interface> {
 public:
  using FakeControl<Interface>::FakeControl;
  void SetText(const std::string& text) override { text_ = text; }
  std::string Text() const override { return text_; }

 private:
  std::string text_;
};

class FakeLabel : public FakeTextControl<ui::Label> {
 public:
  FakeLabel(FakeWindow& window, const ui::ControlSetup& setup, bool wordWrap)
      : FakeTextControl(window, setup), wordWrap_(wordWrap) {}
  bool wordWrap() const { return wordWrap_; }

 private:
  bool wordWrap_;
};

using FakeLinkLabel = FakeTextControl<ui::LinkLabel>;
using FakeEdit = FakeTextControl<ui::Edit>;
using FakeBevel = FakeControl<ui::Bevel>;

class FakePicture : public FakeControl<ui::Picture> {
 public:
  FakePicture(FakeWindow& window, const ui::ControlSetup& setup, ui::PictureKind kind)
      : FakeControl(window, setup), kind_(kind) {}
  ui::PictureKind kind() const { return kind_; }

 private:
  ui::PictureKind kind_;
};

class FakePushButton : public FakeTextControl<ui::PushButton> {
 public:
  using FakeTextControl::FakeTextControl;
  void OnClick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Click() override;
  // A mouse click: nothing while the window is busy.
  void UserClick();

 private:
  std::function<void()> handler_;
};

class FakePictureButton : public FakeControl<ui::PictureButton> {
 public:
  FakePictureButton(FakeWindow& window, const ui::ControlSetup& setup, ui::PictureKind kind)
      : FakeControl(window, setup), kind_(kind) {}
  void OnClick(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Click() override;
  void UserClick();
  ui::PictureState State() const override;
  ui::PictureKind kind() const { return kind_; }

 private:
  ui::PictureKind kind_;
  std::function<void()> handler_;
};

class FakeDropDown : public FakeControl<ui::DropDown> {
 public:
  FakeDropDown(FakeWindow& window, const ui::ControlSetup& setup, int itemHeight)
      : FakeControl(window, setup), itemHeight_(itemHeight) {}
  void Clear() override;
  void AddItem(const std::string& text) override { items_.push_back(text); }
  int Count() const override { return static_cast<int>(items_.size()); }
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int index) override;
  void OnChange(std::function<void()> handler) override { handler_ = std::move(handler); }
  // The user picks a line: false (and nothing happens) while busy or for a line not there.
  bool UserPick(int index);
  const std::vector<std::string>& items() const { return items_; }
  int itemHeight() const { return itemHeight_; }

 private:
  int itemHeight_;
  std::vector<std::string> items_;
  int index_ = -1;
  std::function<void()> handler_;
};

class FakeMemo : public FakeControl<ui::Memo> {
 public:
  using FakeControl::FakeControl;
  void Clear() override;
  void AppendLine(const std::string& line) override;
  std::vector<std::string> Lines() const override { return lines_; }

 private:
  std::vector<std::string> lines_;
};

class FakeWindow : public ui::Window {
 public:
  FakeWindow(FakeToolkit& toolkit, const ui::WindowSetup& setup, ui::Window* owner);
  ~FakeWindow() override;

  const char* Name() const override { return setup_.name; }
  std::string Title() const override { return setup_.title; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  std::string Caption() const override { return caption_; }
  ui::Size GetSize() const override { return size_; }
  void Resize(ui::Size size) override;
  ui::Rect FrameBounds() const override;
  bool IsMaximized() const override { return maximized_; }
  ui::Size NormalSize() const override { return maximized_ ? normal_ : size_; }
  void Maximize() override;
  void Restore() override;
  void Show() override;
  void Hide() override;
  void Close() override;
  bool IsVisible() const override { return visible_; }
  bool ShowPainted(std::chrono::milliseconds bound) override;
  bool PaintedOnScreen() const override { return painted_; }
  int RunModal() override;

  ui::Label& AddLabel(const ui::ControlSetup& setup, const std::string& text,
                      bool wordWrap) override;
  ui::LinkLabel& AddLinkLabel(const ui::ControlSetup& setup) override;
  ui::Edit& AddEdit(const ui::ControlSetup& setup) override;
  ui::PushButton& AddPushButton(const ui::ControlSetup& setup, const std::string& text) override;
  ui::PictureButton& AddPictureButton(const ui::ControlSetup& setup, ui::PictureKind kind) override;
  ui::DropDown& AddDropDown(const ui::ControlSetup& setup, int itemHeight) override;
  ui::Memo& AddMemo(const ui::ControlSetup& setup) override;
  ui::Bevel& AddBevel(const ui::ControlSetup& setup) override;
  ui::Picture& AddPicture(const ui::ControlSetup& setup, ui::PictureKind kind) override;
  void SetTabOrder(const std::vector<ui::Control*>& order) override;
  void AddKeyPress(ui::Key key, ui::PictureButton& button) override;
  std::unique_ptr<Busy> BeginBusy() override;

  // The test's side.
  const ui::WindowSetup& setup() const { return setup_; }
  ui::Window* owner() const { return owner_; }
  // The control of that name, in the order made; null when there is none.
  FakeControlState* Find(const std::string& name) const;
  const std::vector<FakeControlState*>& controls() const { return order_; }
  const std::vector<ui::Control*>& tabOrder() const { return tabOrder_; }
  // A key pressed anywhere in the window: false when nothing answers it.
  bool PressKey(ui::Key key);
  // Tab moves the focus along the tab order.
  void PressTab();
  bool busy() const { return busy_ > 0; }
  int timesBusy() const { return timesBusy_; }
  ui::Control* focus() const { return focus_; }
  void setFocus(ui::Control* control) { focus_ = control; }
  FakeToolkit& toolkit() const { return toolkit_; }

 private:
  template <class Made>
  Made& Keep(std::unique_ptr<Made> control);

  FakeToolkit& toolkit_;
  ui::WindowSetup setup_;
  ui::Window* owner_;
  std::string caption_;
  ui::Size size_;
  ui::Size normal_;
  bool maximized_ = false;
  bool visible_ = false;
  bool painted_ = false;
  int busy_ = 0;
  int timesBusy_ = 0;
  ui::Control* focus_ = nullptr;
  std::vector<std::unique_ptr<FakeControlState>> owned_;
  std::vector<FakeControlState*> order_;
  std::vector<ui::Control*> tabOrder_;
  std::map<ui::Key, ui::PictureButton*> keys_;
};

class FakeToolkit : public ui::Toolkit {
 public:
  struct Dialog {
    std::string window;  // the owner's name, "" without one
    std::string caption;
    std::string text;
    std::optional<ui::DialogIcon> icon;  // none: the system's error box
  };

  std::unique_ptr<ui::Window> MakeWindow(const ui::WindowSetup& setup, ui::Window* owner) override;
  bool ChooseOpenFile(ui::Window* owner, std::string& path) override;
  std::string FileNameFromText(const std::string& text) const override;
  std::string TextFromSystem(const std::string& message) const override;
  void ShowMessageDialog(ui::Window* owner, const std::string& caption, const std::string& text,
                         ui::DialogIcon icon) override;
  void ShowSystemError(ui::Window* owner, const std::string& caption,
                       const std::string& text) override;
  void ProcessPendingMessages() override;
  void Run(ui::Window& main) override;

  // What happened, one line each: "create frmSplash", "show frmSplash", "painted frmSplash",
  // "hide ...", "close ...", "modal ...", "destroy ...", "busy ...", "idle ...", "dialog ...",
  // "error ...", "browse".
  const std::vector<std::string>& log() const { return log_; }
  void Note(const std::string& line) { log_.push_back(line); }
  // The window of that name that lives now (the newest); null when none.
  FakeWindow* Find(const std::string& name) const;
  const std::vector<Dialog>& dialogs() const { return dialogs_; }
  int pendingPasses() const { return pendingPasses_; }

  // The system's encodings; unset: the text as it is.
  std::function<std::string(const std::string&)> fileNames;
  std::function<std::string(const std::string&)> systemTexts;
  // Answers of the next file dialogs, in order; none left: the user cancels.
  std::vector<std::optional<std::string>> fileAnswers;
  // Runs on every dialog and error box while it is up, and on every modal window.
  std::function<void()> whileDialogUp;
  std::function<void(FakeWindow&)> whileModal;
  // Runs on every pass over pending messages (a check's wait, an interim line).
  std::function<void()> onPendingPass;
  // False: a splash never reaches the screen.
  bool displayPaints = true;
  ui::Size screen{1024, 768};

 private:
  friend class FakeWindow;
  std::vector<std::string> log_;
  std::vector<FakeWindow*> live_;
  std::vector<Dialog> dialogs_;
  int pendingPasses_ = 0;
};

// The fake control behind a form's member, for the test's side of it.
template <class Fake, class Interface>
Fake& AsFake(Interface* control) {
  return dynamic_cast<Fake&>(*control);
}

}  // namespace kv::test
