// The title-less "Querying Device ..." box shown while the drives are questioned at start.
#pragma once

#include <chrono>
#include <memory>

#include "ui/form.h"
#include "ui/toolkit.h"

namespace kv {

class TfrmSplash : public ui::Form {
 public:
  static constexpr ui::Size kClientSize{248, 87};
  static constexpr ui::Rect kFrameRect{1, 1, 246, 85};
  static constexpr ui::Rect kLabelRect{64, 36, 123, 13};

  TfrmSplash(ui::Toolkit& toolkit, ui::Window* owner);

  ui::Window& GetWindow() override { return *window_; }
  ui::Label* Label1;

  // Shows the box and returns once its text is on the screen, or after `bound`. True when painted.
  bool ShowPainted(std::chrono::milliseconds bound) { return window_->ShowPainted(bound); }
  bool TextPainted() const { return window_->PaintedOnScreen(); }

 private:
  std::unique_ptr<ui::Window> window_;
};

}  // namespace kv
