#include "app/forms/splash.h"

namespace kv {

namespace {

ui::WindowSetup SplashSetup() {
  ui::WindowSetup setup;
  setup.name = "frmSplash";
  setup.title = "frmSplash";
  setup.role = ui::WindowRole::Splash;
  setup.size = TfrmSplash::kClientSize;
  setup.fixedSize = true;
  setup.titleBar = false;
  setup.frameFillsWindow = false;
  setup.frame = TfrmSplash::kFrameRect;
  return setup;
}

}  // namespace

TfrmSplash::TfrmSplash(ui::Toolkit& toolkit, ui::Window* owner)
    : window_(toolkit.MakeWindow(SplashSetup(), owner)) {
  Label1 = &window_->AddLabel({"Label1", kLabelRect, {ui::kVerdana, 8, true}, ui::kBlack},
                              "Querying Device ...", false);
}

}  // namespace kv
