// The information box of the "KRELL-VANE" button: release date, version, drive models and
// remarks of the property block.
#pragma once

#include <memory>

#include "ui/form.h"
#include "ui/toolkit.h"

namespace kv {

class TfrmKrellvaneMsgBox : public ui::Form {
 public:
  static constexpr ui::Size kClientSize{486, 420};
  static constexpr ui::Rect kCloseRect{208, 392, 81, 21};
  static constexpr ui::Rect kTextRect{20, 40, 445, 341};
  static constexpr ui::Rect kBevelRect{12, 36, 461, 349};

  TfrmKrellvaneMsgBox(ui::Toolkit& toolkit, ui::Window* owner);

  ui::Window& GetWindow() override { return *window_; }
  ui::PushButton* cmdClose;
  ui::Label* lblKrellvane;
  ui::Bevel* Bevel1;

  void FormCreate();
  void cmdCloseClick();

 private:
  std::unique_ptr<ui::Window> window_;
};

}  // namespace kv
