#include "builder/forms/frmbuild.h"

#include <exception>

#include "ui/text_encoding.h"

namespace kv {

namespace {

constexpr const char* kCaption = "Krell-Vane Builder";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kInformationCaption = "Information";
constexpr const char* kErrorBoxCaption = "Krellvane";
constexpr ui::FontStyle kFont{ui::kVerdana, 8};

ui::WindowSetup BuilderSetup() {
  ui::WindowSetup setup;
  setup.name = "frmBuildKV";
  setup.title = kCaption;
  setup.role = ui::WindowRole::Dialog;
  setup.size = TfrmBuildKV::kClientSize;
  setup.fixedSize = true;
  setup.titleButtons = ui::kClose;
  setup.font = kFont;
  return setup;
}

// Texts from the parameter file are single-byte; system reasons come in the system's encoding.
std::string MessageText(const ui::Toolkit& toolkit, const BuildOutcome& outcome) {
  return outcome.status == BuildStatus::ConversionError ? ui::Latin1ToUtf8(outcome.message)
                                                        : toolkit.TextFromSystem(outcome.message);
}

}  // namespace

TfrmBuildKV::TfrmBuildKV(ui::Toolkit& toolkit, ui::Window* owner, BuildOptions options)
    : toolkit_(toolkit),
      window_(toolkit.MakeWindow(BuilderSetup(), owner)),
      session_(std::move(options)) {
  CreateControls();
}

TfrmBuildKV::~TfrmBuildKV() {
  FormDestroy();
}

void TfrmBuildKV::CreateControls() {
  window_->SetCaption(kCaption);
  Label1 = &window_->AddLabel({"Label1", kLabel1, kFont}, "Please select parameter file :", false);
  txtFile = &window_->AddEdit({"txtFile", kTxtFile, kFont});
  cmdBrowse = &window_->AddPushButton({"cmdBrowse", kCmdBrowse, kFont}, "Browse");
  cmdBuild = &window_->AddPushButton({"cmdBuild", kCmdBuild, kFont}, "Build");
  cmdClose = &window_->AddPushButton({"cmdClose", kCmdClose, kFont}, "Close");
  cmdBrowse->OnClick([this] { cmdBrowseClick(); });
  cmdBuild->OnClick([this] { cmdBuildClick(); });
  cmdClose->OnClick([this] { cmdCloseClick(); });
}

void TfrmBuildKV::cmdBrowseClick() {
  std::string path;
  if (toolkit_.ChooseOpenFile(window_.get(), path)) {
    txtFile->SetText(path);
  }
}

void TfrmBuildKV::cmdBuildClick() {
  cmdBuild->SetEnabled(false);
  BuildOutcome outcome;
  try {
    outcome = session_.Run(toolkit_.FileNameFromText(txtFile->Text()));
  } catch (const std::exception& e) {
    // Out of memory and the like: shown like any other error, and the button comes back.
    toolkit_.ShowSystemError(window_.get(), kErrorBoxCaption, e.what());
    cmdBuild->SetEnabled(true);
    return;
  }
  switch (outcome.status) {
    case BuildStatus::Created:
      toolkit_.ShowMessageDialog(window_.get(), kInformationCaption, MessageText(toolkit_, outcome),
                                 ui::DialogIcon::Information);
      break;
    case BuildStatus::ConversionError:
      toolkit_.ShowSystemError(window_.get(), kErrorBoxCaption, MessageText(toolkit_, outcome));
      break;
    case BuildStatus::NoFileSelected:
    case BuildStatus::FileNotExists:
    case BuildStatus::LoadPrototypeFailed:
    case BuildStatus::BlockNotFound:
    case BuildStatus::WriteFailed:
      toolkit_.ShowMessageDialog(window_.get(), kErrorCaption, MessageText(toolkit_, outcome),
                                 ui::DialogIcon::Stop);
      break;
  }
  cmdBuild->SetEnabled(true);
}

void TfrmBuildKV::cmdCloseClick() {
  window_->Close();
}

void TfrmBuildKV::FormDestroy() {
  session_.Release();
}

}  // namespace kv
