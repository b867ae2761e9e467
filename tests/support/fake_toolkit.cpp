#include "tests/support/fake_toolkit.h"

#include <algorithm>

namespace kv::test {

FakeControlState::FakeControlState(FakeWindow& window, const ui::ControlSetup& setup)
    : window_(window),
      name_(setup.name),
      bounds_(setup.bounds),
      font_(setup.font),
      colour_(setup.colour) {}

template <class Interface>
bool FakeControl<Interface>::HasFocus() const {
  return window_.focus() == this;
}

template <class Interface>
void FakeControl<Interface>::SetFocus() {
  window_.setFocus(this);
}

void FakePushButton::Click() {
  if (enabled_ && handler_) {
    handler_();
  }
}

void FakePushButton::UserClick() {
  if (!window_.busy()) {
    Click();
  }
}

void FakePictureButton::Click() {
  if (enabled_ && handler_) {
    handler_();
  }
}

void FakePictureButton::UserClick() {
  if (!window_.busy()) {
    Click();
  }
}

ui::PictureState FakePictureButton::State() const {
  if (!enabled_) {
    return ui::PictureState::Pressed;
  }
  return HasFocus() ? ui::PictureState::MouseOver : ui::PictureState::Normal;
}

void FakeDropDown::Clear() {
  items_.clear();
  index_ = -1;
}

void FakeDropDown::SetItemIndex(int index) {
  index_ = index >= 0 && index < Count() ? index : -1;
}

bool FakeDropDown::UserPick(int index) {
  if (window_.busy() || !enabled_ || index < 0 || index >= Count()) {
    return false;
  }
  index_ = index;
  if (handler_) {
    handler_();
  }
  return true;
}

void FakeMemo::Clear() {
  lines_.clear();
}

void FakeMemo::AppendLine(const std::string& line) {
  lines_.push_back(line);
}

FakeWindow::FakeWindow(FakeToolkit& toolkit, const ui::WindowSetup& setup, ui::Window* owner)
    : toolkit_(toolkit), setup_(setup), owner_(owner), size_(setup.size), normal_(setup.size) {
  toolkit_.live_.push_back(this);
  toolkit_.Note(std::string("create ") + setup_.name);
}

FakeWindow::~FakeWindow() {
  toolkit_.Note(std::string("destroy ") + setup_.name);
  auto& live = toolkit_.live_;
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

void FakeWindow::Resize(ui::Size size) {
  if (setup_.fixedSize) {
    return;
  }
  size.width = std::max(size.width, setup_.minimumWidth);
  if (maximized_) {
    normal_ = size;
  } else {
    size_ = size;
  }
}

ui::Rect FakeWindow::FrameBounds() const {
  if (setup_.frameFillsWindow) {
    return {0, 0, size_.width, size_.height};
  }
  return setup_.frame;
}

void FakeWindow::Maximize() {
  if (!maximized_) {
    normal_ = size_;
    size_ = toolkit_.screen;
    maximized_ = true;
  }
}

void FakeWindow::Restore() {
  if (maximized_) {
    size_ = normal_;
    maximized_ = false;
  }
}

void FakeWindow::Show() {
  visible_ = true;
  toolkit_.Note(std::string("show ") + setup_.name);
}

void FakeWindow::Hide() {
  visible_ = false;
  toolkit_.Note(std::string("hide ") + setup_.name);
}

void FakeWindow::Close() {
  visible_ = false;
  toolkit_.Note(std::string("close ") + setup_.name);
}

bool FakeWindow::ShowPainted(std::chrono::milliseconds) {
  Show();
  if (toolkit_.displayPaints) {
    painted_ = true;
    toolkit_.Note(std::string("painted ") + setup_.name);
  }
  return painted_;
}

int FakeWindow::RunModal() {
  toolkit_.Note(std::string("modal ") + setup_.name);
  visible_ = true;
  if (toolkit_.whileModal) {
    toolkit_.whileModal(*this);
  }
  visible_ = false;
  return 0;
}

template <class Made>
Made& FakeWindow::Keep(std::unique_ptr<Made> control) {
  Made& kept = *control;
  order_.push_back(control.get());
  owned_.push_back(std::move(control));
  return kept;
}

ui::Label& FakeWindow::AddLabel(const ui::ControlSetup& setup, const std::string& text,
                                bool wordWrap) {
  auto& label = Keep(std::make_unique<FakeLabel>(*this, setup, wordWrap));
  label.SetText(text);
  return label;
}

ui::LinkLabel& FakeWindow::AddLinkLabel(const ui::ControlSetup& setup) {
  return Keep(std::make_unique<FakeLinkLabel>(*this, setup));
}

ui::Edit& FakeWindow::AddEdit(const ui::ControlSetup& setup) {
  return Keep(std::make_unique<FakeEdit>(*this, setup));
}

ui::PushButton& FakeWindow::AddPushButton(const ui::ControlSetup& setup, const std::string& text) {
  auto& button = Keep(std::make_unique<FakePushButton>(*this, setup));
  button.SetText(text);
  return button;
}

ui::PictureButton& FakeWindow::AddPictureButton(const ui::ControlSetup& setup,
                                                ui::PictureKind kind) {
  return Keep(std::make_unique<FakePictureButton>(*this, setup, kind));
}

ui::DropDown& FakeWindow::AddDropDown(const ui::ControlSetup& setup, int itemHeight) {
  return Keep(std::make_unique<FakeDropDown>(*this, setup, itemHeight));
}

ui::Memo& FakeWindow::AddMemo(const ui::ControlSetup& setup) {
  return Keep(std::make_unique<FakeMemo>(*this, setup));
}

ui::Bevel& FakeWindow::AddBevel(const ui::ControlSetup& setup) {
  return Keep(std::make_unique<FakeBevel>(*this, setup));
}

ui::Picture& FakeWindow::AddPicture(const ui::ControlSetup& setup, ui::PictureKind kind) {
  return Keep(std::make_unique<FakePicture>(*this, setup, kind));
}

FakeControlState* FakeWindow::Find(const std::string& name) const {
  for (FakeControlState* control : order_) {
    if (control->name() == name) {
      return control;
    }
  }
  return nullptr;
}

void FakeWindow::SetTabOrder(const std::vector<ui::Control*>& order) {
  tabOrder_ = order;
  if (!order.empty()) {
    focus_ = order.front();
  }
}

void FakeWindow::AddKeyPress(ui::Key key, ui::PictureButton& button) {
  keys_[key] = &button;
}

bool FakeWindow::PressKey(ui::Key key) {
  const auto found = keys_.find(key);
  if (busy() || found == keys_.end()) {
    return false;
  }
  found->second->Click();
  return true;
}

void FakeWindow::PressTab() {
  if (busy() || tabOrder_.empty()) {
    return;
  }
  auto at = std::find(tabOrder_.begin(), tabOrder_.end(), focus_);
  if (at == tabOrder_.end() || ++at == tabOrder_.end()) {
    at = tabOrder_.begin();
  }
  focus_ = *at;
}

namespace {

class FakeBusy : public ui::Window::Busy {
 public:
  FakeBusy(FakeToolkit& toolkit, std::string name, int& count)
      : toolkit_(toolkit), name_(std::move(name)), count_(count) {
    ++count_;
    toolkit_.Note("busy " + name_);
  }
  ~FakeBusy() override {
    --count_;
    toolkit_.Note("idle " + name_);
  }

 private:
  FakeToolkit& toolkit_;
  std::string name_;
  int& count_;
};

std::string OwnerName(ui::Window* owner) {
  return owner != nullptr ? owner->Name() : "";
}

}  // namespace

std::unique_ptr<ui::Window::Busy> FakeWindow::BeginBusy() {
  ++timesBusy_;
  return std::make_unique<FakeBusy>(toolkit_, setup_.name, busy_);
}

std::unique_ptr<ui::Window> FakeToolkit::MakeWindow(const ui::WindowSetup& setup,
                                                    ui::Window* owner) {
  return std::make_unique<FakeWindow>(*this, setup, owner);
}

std::string FakeToolkit::FileNameFromText(const std::string& text) const {
  return fileNames ? fileNames(text) : text;
}

std::string FakeToolkit::TextFromSystem(const std::string& message) const {
  return systemTexts ? systemTexts(message) : message;
}

bool FakeToolkit::ChooseOpenFile(ui::Window*, std::string& path) {
  Note("browse");
  if (fileAnswers.empty()) {
    return false;
  }
  const std::optional<std::string> answer = fileAnswers.front();
  fileAnswers.erase(fileAnswers.begin());
  if (!answer) {
    return false;
  }
  path = *answer;
  return true;
}

void FakeToolkit::ShowMessageDialog(ui::Window* owner, const std::string& caption,
                                    const std::string& text, ui::DialogIcon icon) {
  Note("dialog " + caption);
  dialogs_.push_back({OwnerName(owner), caption, text, icon});
  if (whileDialogUp) {
    whileDialogUp();
  }
}

void FakeToolkit::ShowSystemError(ui::Window* owner, const std::string& caption,
                                  const std::string& text) {
  Note("error " + caption);
  dialogs_.push_back({OwnerName(owner), caption, text, std::nullopt});
  if (whileDialogUp) {
    whileDialogUp();
  }
}

void FakeToolkit::ProcessPendingMessages() {
  ++pendingPasses_;
  if (onPendingPass) {
    onPendingPass();
  }
}

void FakeToolkit::Run(ui::Window& main) {
  Note(std::string("run ") + main.Name());
}

FakeWindow* FakeToolkit::Find(const std::string& name) const {
  for (auto at = live_.rbegin(); at != live_.rend(); ++at) {
    if (name == (*at)->Name()) {
      return *at;
    }
  }
  return nullptr;
}

}  // namespace kv::test
