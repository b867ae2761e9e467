#include "app/forms/frmmain.h"

#include <chrono>

#include "app/core/main_window_logic.h"
#include "app/core/manufacturer.h"
#include "app/core/media_check.h"
#include "app/core/window_size.h"
#include "app/forms/check_in_progress.h"
#include "app/forms/frmmain_layout.h"
#include "app/forms/krellvane_msgbox.h"
#include "app/forms/memo_report_sink.h"
#include "app/forms/splash.h"
#include "media/property_block.h"
#include "media/settings.h"
#include "ui/skin_look.h"
#include "ui/text_encoding.h"

namespace kv {

namespace {

constexpr const char* kSystemCaption = "KRELL-VANE v3.0.0";
constexpr const char* kErrorCaption = "Error ...";
constexpr const char* kApplicationTitle = "Krellvane";
constexpr int kMinimumWidth = 130;
constexpr int kDriveItemHeight = 15;
// How long start-up waits for the splash to reach the screen before it questions the drives.
constexpr std::chrono::milliseconds kSplashPaintBound{1500};

constexpr ui::FontStyle kStepHeading{ui::kVerdana, 8, true};
constexpr ui::FontStyle kStepText{ui::kVerdana, 8};
constexpr ui::FontStyle kFixedPitch{ui::kCourierNew, 9};

ui::WindowSetup MainSetup() {
  ui::WindowSetup setup;
  setup.name = "frmMain";
  setup.title = kSystemCaption;
  setup.role = ui::WindowRole::Main;
  setup.size = main_layout::kDesignSize;
  setup.minimumWidth = kMinimumWidth;
  setup.titleButtons = ui::kAllButtons;
  return setup;
}

}  // namespace

TfrmMain::TfrmMain(std::unique_ptr<Platform> platform, MainWindowServices services)
    : platform_(std::move(platform)),
      services_(std::move(services)),
      notifier_(*services_.boxes),
      startup_(platform_.get(), notifier_),
      window_(services_.toolkit->MakeWindow(MainSetup(), nullptr)),
      Device(startup_.Device()),
      UserCdList(startup_.UserCd()),
      UserDvdList(startup_.UserDvd()) {
  BuildControls();
  startup_.SetApplicationTag();
  UserCdList.clear();
  UserDvdList.clear();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  FormDestroy();
}

void TfrmMain::BuildControls() {
  ui::Window& w = *window_;
  suiImageButton1 = &w.AddPicture({"suiImageButton1", main_layout::kLogo}, ui::PictureKind::Logo);
  cmdShowKV = &w.AddPushButton(
      {"cmdShowKV", main_layout::kShowKV, {ui::kVerdana, 9, true}, ui::kRed}, "KRELL-VANE");
  Label1 = &w.AddLabel({"Label1", main_layout::kLabel1, kStepHeading, ui::kNavy}, "Step1 :", false);
  lblStep1 = &w.AddLabel({"lblStep1", main_layout::kStep1, kStepText, ui::kBlack}, {}, false);
  cboDrives = &w.AddDropDown({"cboDrives", main_layout::kDrives, kFixedPitch, ui::kBlack},
                             kDriveItemHeight);
  Label3 = &w.AddLabel({"Label3", main_layout::kLabel3, kStepHeading, ui::kNavy}, "Step2 :", false);
  lblStep2 = &w.AddLabel({"lblStep2", main_layout::kStep2, kStepText, ui::kBlack}, {}, true);
  cmdRefresh =
      &w.AddPictureButton({"cmdRefresh", main_layout::kRefresh}, ui::PictureKind::Question);
  Label5 = &w.AddLabel({"Label5", main_layout::kLabel5, kStepHeading, ui::kNavy}, "Step3 :", false);
  lblStep3 = &w.AddLabel({"lblStep3", main_layout::kStep3, kStepText, ui::kBlack}, {}, false);
  memTranslator = &w.AddMemo({"memTranslator", main_layout::kTranslator, kFixedPitch, ui::kBlack});
  ui::FontStyle linkFont = kStepText;
  linkFont.underline = true;
  lblCopyright = &w.AddLinkLabel({"lblCopyright", main_layout::kCopyright, linkFont, ui::kBlack});

  // The keyboard path: the drive list, the "?" button, the report, "KRELL-VANE"; F5 anywhere in
  // the window presses "?" (a disabled button ignores it).
  w.SetTabOrder({cboDrives, cmdRefresh, memTranslator, cmdShowKV});
  w.AddKeyPress(ui::Key::F5, *cmdRefresh);

  cboDrives->OnChange([this] { cboDrivesChange(); });
  cmdRefresh->OnClick([this] { cmdRefreshClick(); });
  cmdShowKV->OnClick([this] { cmdShowKVClick(); });
}

// The process entry reads the flag and does not start the message loop.
void TfrmMain::RequestTerminate() {
  terminateRequested_ = true;
}

void TfrmMain::ShowFatal(const std::string& text) {
  // The splash stays on top; hide it so that it cannot cover the box.
  if (splash_ != nullptr) {
    splash_->GetWindow().Hide();
  }
  services_.boxes->ShowError(nullptr, kErrorCaption, text);
}

int TfrmMain::RunModal(ui::Form& form) {
  if (services_.runModal) {
    return services_.runModal(form);
  }
  return form.GetWindow().RunModal();
}

void TfrmMain::FormCreate() {
  // 1. Build mode: the builder instead of the media check.
  if (IsBuildMode()) {
    window_->Hide();
    ShowBuilder();
    RequestTerminate();
    services_.toolkit->ProcessPendingMessages();
    return;
  }

  // 2. The splash, painted before the drives are questioned.
  splash_ = std::make_unique<TfrmSplash>(*services_.toolkit, window_.get());
  splash_->ShowPainted(kSplashPaintBound);
  if (services_.splashShown) {
    services_.splashShown(*splash_);
  }

  // 3-6. Slots, texts and caption from the property block.
  DriveIndex.fill(kFreeDriveSlot);
  const PropertyBlock& block = Block();
  lblStep1->SetText(ui::Latin1ToUtf8(FieldText(block.Step1)));
  lblStep2->SetText(ui::Latin1ToUtf8(FieldText(block.Step2)));
  lblStep3->SetText(ui::Latin1ToUtf8(FieldText(block.Step3)));
  lblCopyright->SetText(ui::Latin1ToUtf8(FieldText(block.Copyright)));
  window_->SetCaption(ui::Latin1ToUtf8(FormatTitle(block)));

  // 7. The device object.
  if (!startup_.CreateDevice()) {
    ShowFatal("Unable to create Device Object !");
    RequestTerminate();
    splash_.reset();
    return;
  }

  // 8. The writers among the drives, without gaps.
  const DriveListing& listing = startup_.ListWriters();
  DriveIndex = listing.DriveIndex;
  cboDrives->Clear();
  for (const std::string& line : listing.lines) {
    cboDrives->AddItem(ui::Latin1ToUtf8(line));
  }
  cboDrives->SetItemIndex(-1);

  // 9. Select the first line, or report that there is no drive at all.
  if (static_cast<int16_t>(Device->GetDriveCount()) <= 0) {
    ShowFatal("No drive detected !");
    RequestTerminate();
  } else {
    if (cboDrives->Count() > 0) {
      cboDrives->SetItemIndex(0);
    }
    memTranslator->Clear();
    cboDrivesChange();
  }

  // 10. The stored window size.
  int32_t stored = 0;
  bool read = ReadRegInt(kSettingsKey, "Width", stored);
  ui::Size size = window_->GetSize();
  window_->Resize({ChooseDimension(read, stored, size.width), size.height});
  stored = 0;
  read = ReadRegInt(kSettingsKey, "Height", stored);
  size = window_->GetSize();
  window_->Resize({size.width, ChooseDimension(read, stored, size.height)});

  // 11. Let the window settle in its normal state.
  window_->Maximize();
  window_->Restore();
  services_.toolkit->ProcessPendingMessages();

  // 12. The user-defined media database.
  LoadUserDefinedFile();

  // 13. The splash goes.
  splash_.reset();
}

void TfrmMain::FormDestroy() {
  if (destroyed_) {
    return;
  }
  destroyed_ = true;
  // Closed maximised, the window stores its restored size, not the screen's.
  const ui::Size current = window_->GetSize();
  const ui::Size normal = window_->NormalSize();
  const WindowSize stored =
      SizeToStore(window_->IsMaximized(), {current.width, current.height},
                  {normal.width, normal.height}, {kDesignWidth, kDesignHeight});
  WriteRegInt(kSettingsKey, "Width", stored.width);
  WriteRegInt(kSettingsKey, "Height", stored.height);
  startup_.Close();
}

void TfrmMain::cboDrivesChange() {
  const std::optional<int16_t> drive =
      DriveForLine(DriveIndex, cboDrives->Count(), cboDrives->ItemIndex());
  if (drive.has_value()) {
    startup_.SelectDrive(*drive);
  }
  memTranslator->Clear();
}

void TfrmMain::cmdRefreshClick() {
  if (Device == nullptr) {
    return;
  }
  const CheckInProgress inProgress(*window_, *cmdRefresh, *services_.toolkit, *Device);
  MemoReportSink sink(*memTranslator, *services_.toolkit);
  const DriveRecord* selected = nullptr;
  const std::optional<int16_t> drive =
      DriveForLine(DriveIndex, cboDrives->Count(), cboDrives->ItemIndex());
  if (drive.has_value()) {
    selected = Device->GetDriveRecord(static_cast<uint32_t>(*drive));
  }
  try {
    RunMediaCheck(*Device, selected, UserCdList, UserDvdList, sink);
  } catch (...) {
    // The check keeps what it has shown.
  }
}

void TfrmMain::cmdShowKVClick() {
  TfrmKrellvaneMsgBox box(*services_.toolkit, window_.get());
  RunModal(box);
}

void TfrmMain::ShowBuilder() {
  if (!services_.makeBuilder) {
    return;
  }
  const std::unique_ptr<ui::Form> builder = services_.makeBuilder(window_.get());
  if (builder != nullptr) {
    RunModal(*builder);
  }
}

void TfrmMain::LoadUserDefinedFile() {
  const UserDatabaseLoad load = startup_.LoadUserDatabase();
  if (load.stoppedWithError) {
    services_.boxes->ShowError(window_.get(), kApplicationTitle, ui::Latin1ToUtf8(load.error));
  }
}

const char* TfrmMain::FindManufacturer(DiscType discType, int32_t leadIn, int32_t leadOut) {
  if (Device == nullptr) {
    return nullptr;
  }
  return kv::FindManufacturer(*Device, UserCdList, UserDvdList, discType, leadIn, leadOut);
}

char* TfrmMain::MakePrintable(char* buffer, std::size_t count) {
  return kv::MakePrintable(buffer, count);
}

}  // namespace kv
