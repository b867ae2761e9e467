#include "app/forms/splash.h"

namespace kv {

namespace {

ui::WindowSpec SplashSpec() {
  ui::WindowSpec spec;
  spec.name = "frmSplash";
  spec.title = "frmSplash";
  spec.role = ui::WindowRole::Splash;
  spec.size = TfrmSplash::kClientSize;
  spec.fixedSize = true;
  spec.titleBar = false;
  spec.frameFillsWindow = false;
  spec.frame = TfrmSplash::kFrameRect;
  return spec;
}

}  // namespace

TfrmSplash::TfrmSplash(ui::Toolkit& toolkit, ui::Window* owner)
    : window_(toolkit.MakeWindow(SplashSpec(), owner)) {
  Label1 = &window_->AddLabel({"Label1", kLabelRect, {ui::kVerdana, 8, true}, ui::kBlack},
                              "Querying Device ...", false);
}

}  // namespace kv
