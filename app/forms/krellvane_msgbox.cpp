#include "app/forms/krellvane_msgbox.h"

#include "app/core/main_window_logic.h"
#include "media/property_block.h"
#include "ui/text_encoding.h"

namespace kv {

namespace {

constexpr int kMinimumWidth = 130;

ui::WindowSetup BoxSetup() {
  ui::WindowSetup setup;
  setup.name = "frmKrellvaneMsgBox";
  setup.title = "Krell-Vane";
  setup.role = ui::WindowRole::Dialog;
  setup.size = TfrmKrellvaneMsgBox::kClientSize;
  setup.minimumWidth = kMinimumWidth;
  setup.titleButtons = ui::kClose;
  setup.placement = ui::Placement::CentreOfOwner;
  return setup;
}

}  // namespace

TfrmKrellvaneMsgBox::TfrmKrellvaneMsgBox(ui::Toolkit& toolkit, ui::Window* owner)
    : window_(toolkit.MakeWindow(BoxSetup(), owner)) {
  window_->SetCaption("Krell-Vane");
  Bevel1 = &window_->AddBevel({"Bevel1", kBevelRect});
  // A fixed-size label: text beyond its height is cut off, never scrolled.
  lblKrellvane =
      &window_->AddLabel({"lblKrellvane", kTextRect, {ui::kCourierNew, 9}, ui::kBlack}, {}, true);
  cmdClose = &window_->AddPushButton({"cmdClose", kCloseRect, {ui::kVerdana, 8, true}, ui::kBlack},
                                     "Close");
  cmdClose->OnClick([this] { cmdCloseClick(); });
  FormCreate();
}

void TfrmKrellvaneMsgBox::FormCreate() {
  lblKrellvane->SetText(ui::Latin1ToUtf8(ComposeInformationText(Block())));
}

void TfrmKrellvaneMsgBox::cmdCloseClick() {
  window_->Close();
}

}  // namespace kv
