// The forms on the Win32 toolkit (under Wine in the Windows test run): the main window lists the
// emulated writers, "?" by a click and by F5 writes the same report as the report logic, the
// information box, the splash and the builder open and close, and every control sits where the
// layout tables put it (within two pixels where fonts differ). Without a display driver (Wine
// run without an X server) the tests are skipped.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/core/main_window_logic.h"
#include "app/core/media_check.h"
#include "app/forms/frmmain.h"
#include "app/forms/frmmain_layout.h"
#include "app/forms/krellvane_msgbox.h"
#include "app/forms/splash.h"
#include "builder/forms/frmbuild.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "media/settings.h"
#include "ui/message_boxes.h"
#include "ui/win32/win32_toolkit.h"
#include "ui/win32/win32_window.h"

namespace kv::test {
namespace {

constexpr int kTolerance = 2;

class CollectingSink : public ReportSink {
 public:
  void Clear() override { lines.clear(); }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class QuietNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

std::unique_ptr<Platform> SampleMachine() {
  std::string error;
  std::unique_ptr<Platform> machine = emu::CreateEmulatedMachine({}, error);
  EXPECT_TRUE(machine) << error;
  return machine;
}

std::vector<std::string> ExpectedReport(int line) {
  std::unique_ptr<Platform> machine = SampleMachine();
  QuietNotifier notifier;
  AtapiDevice device(*machine, notifier);
  DriveListing listing = ListWriters(device);
  std::optional<int16_t> drive = DriveForLine(listing, line);
  if (!drive || !device.SelectDrive(*drive)) {
    return {};
  }
  CollectingSink sink;
  RunMediaCheck(device, device.GetDriveRecord(static_cast<uint32_t>(*drive)), {}, {}, sink);
  return sink.lines;
}

struct Row {
  const char* name;
  const ui::Control* control;
  ui::Rect expected;
};

// Prints the measured place of each control (the geometry table) and checks it.
void ExpectPlaces(const char* window, const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    const ui::Rect got = row.control->Bounds();
    std::printf("geometry %s %s: %d,%d %dx%d (layout %d,%d %dx%d)\n", window, row.name, got.left,
                got.top, got.width, got.height, row.expected.left, row.expected.top,
                row.expected.width, row.expected.height);
    EXPECT_NEAR(got.left, row.expected.left, kTolerance) << row.name;
    EXPECT_NEAR(got.top, row.expected.top, kTolerance) << row.name;
    if (row.expected.width > 0) {
      EXPECT_NEAR(got.width, row.expected.width, kTolerance) << row.name;
      EXPECT_NEAR(got.height, row.expected.height, kTolerance) << row.name;
    }
  }
}

class Win32WindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (probe == nullptr) {
      GTEST_SKIP() << "no display driver: run the Windows tests under an X server (xvfb-run)";
    }
    DestroyWindow(probe);
    // The window opens at the design size whatever an earlier run stored.
    WriteRegInt(kSettingsKey, "Width", TfrmMain::kDesignWidth);
    WriteRegInt(kSettingsKey, "Height", TfrmMain::kDesignHeight);
  }

  std::unique_ptr<TfrmMain> Open() {
    MainWindowServices services;
    services.toolkit = &toolkit_;
    services.boxes = &boxes_;
    services.runModal = [this](ui::Form& form) {
      modal_.push_back(form.GetWindow().Name());
      form.GetWindow().Show();
      toolkit_.ProcessPendingMessages();
      EXPECT_TRUE(form.GetWindow().IsVisible());
      form.GetWindow().Close();
      return 0;
    };
    return std::make_unique<TfrmMain>(SampleMachine(), services);
  }

  ui::win32::Win32Toolkit toolkit_;
  ui::RecordingMessageBoxes boxes_;
  std::vector<std::string> modal_;
};

TEST_F(Win32WindowsTest, MainWindowListsTheWritersAndChecksByClickAndByF5) {
  auto form = Open();
  ASSERT_FALSE(form->TerminateRequested());
  EXPECT_TRUE(boxes_.entries().empty());
  form->GetWindow().Show();
  toolkit_.ProcessPendingMessages();
  ASSERT_GT(form->cboDrives->Count(), 1);
  EXPECT_EQ(form->cboDrives->ItemIndex(), 0);

  // A click on "?" as the user makes it.
  SendMessageA(ui::win32::HandleOf(form->cmdRefresh), BM_CLICK, 0, 0);
  const std::vector<std::string> expected = ExpectedReport(0);
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(form->memTranslator->Lines(), expected);
  for (const std::string& line : form->memTranslator->Lines()) {
    std::printf("report %s\n", line.c_str());
  }
  EXPECT_TRUE(form->cmdRefresh->Enabled()) << "enabled again after the check";

  // F5 anywhere in the window.
  form->memTranslator->Clear();
  MSG key{};
  key.hwnd = ui::win32::HandleOf(form->memTranslator);
  key.message = WM_KEYDOWN;
  key.wParam = VK_F5;
  EXPECT_TRUE(ui::win32::Win32Window::TranslateSkinKeys(key));
  EXPECT_EQ(form->memTranslator->Lines(), expected);

  // Another key is left to the control.
  key.wParam = VK_F6;
  EXPECT_FALSE(ui::win32::Win32Window::TranslateSkinKeys(key));

  // The information box opens (modally, over the window) and closes.
  SendMessageA(ui::win32::HandleOf(form->cmdShowKV), BM_CLICK, 0, 0);
  EXPECT_EQ(modal_, std::vector<std::string>{"frmKrellvaneMsgBox"});
}

TEST_F(Win32WindowsTest, ControlsSitWhereTheLayoutPutsThem) {
  auto form = Open();
  ui::Window& window = form->GetWindow();
  window.Show();
  toolkit_.ProcessPendingMessages();
  EXPECT_EQ(window.GetSize(), (ui::Size{485, 391}));
  EXPECT_EQ(window.FrameBounds(), (ui::Rect{0, 0, 485, 391})) << "the frame fills the window";
  ExpectPlaces("frmMain", {{"suiImageButton1", form->suiImageButton1, main_layout::kLogo},
                           {"cmdShowKV", form->cmdShowKV, main_layout::kShowKV},
                           {"Label1", form->Label1, main_layout::kLabel1},
                           {"lblStep1", form->lblStep1, main_layout::kStep1},
                           {"cboDrives", form->cboDrives, main_layout::kDrives},
                           {"Label3", form->Label3, main_layout::kLabel3},
                           {"lblStep2", form->lblStep2, main_layout::kStep2},
                           {"cmdRefresh", form->cmdRefresh, main_layout::kRefresh},
                           {"Label5", form->Label5, main_layout::kLabel5},
                           {"lblStep3", form->lblStep3, main_layout::kStep3},
                           {"memTranslator", form->memTranslator, main_layout::kTranslator},
                           {"lblCopyright", form->lblCopyright, main_layout::kCopyright}});
  window.Resize({800, 600});
  EXPECT_EQ(window.FrameBounds(), (ui::Rect{0, 0, 800, 600})) << "the frame follows the window";
  EXPECT_EQ(form->cmdRefresh->Bounds().left, main_layout::kRefresh.left) << "controls stay put";

  TfrmKrellvaneMsgBox box(toolkit_, &window);
  ExpectPlaces("frmKrellvaneMsgBox",
               {{"Bevel1", box.Bevel1, TfrmKrellvaneMsgBox::kBevelRect},
                {"lblKrellvane", box.lblKrellvane, TfrmKrellvaneMsgBox::kTextRect},
                {"cmdClose", box.cmdClose, TfrmKrellvaneMsgBox::kCloseRect}});
  EXPECT_EQ(box.GetWindow().GetSize(), TfrmKrellvaneMsgBox::kClientSize);
}

TEST_F(Win32WindowsTest, MaximiseKeepsTheNormalSizeAndTheFrameFollows) {
  {
    auto form = Open();
    ui::Window& window = form->GetWindow();
    window.Show();
    window.Maximize();
    // The display answers in its own time (slowly on a loaded machine): wait for the new size,
    // up to ten seconds.
    for (int pass = 0; pass < 500 && window.GetSize() == ui::Size{485, 391}; ++pass) {
      toolkit_.ProcessPendingMessages();
      Sleep(20);
    }
    ASSERT_TRUE(window.IsMaximized());
    const ui::Size maximised = window.GetSize();
    std::printf("maximised %dx%d\n", maximised.width, maximised.height);
    EXPECT_GT(maximised.width, TfrmMain::kDesignWidth);
    EXPECT_EQ(window.FrameBounds(), (ui::Rect{0, 0, maximised.width, maximised.height}));
    EXPECT_EQ(window.NormalSize(), (ui::Size{485, 391}));
    EXPECT_EQ(form->memTranslator->Bounds(), main_layout::kTranslator) << "controls stay put";
    // Enter on the focused "?" presses it, maximised or not.
    form->cmdRefresh->SetFocus();
    MSG key{};
    key.hwnd = ui::win32::HandleOf(form->cmdRefresh);
    key.message = WM_KEYDOWN;
    key.wParam = VK_RETURN;
    EXPECT_TRUE(ui::win32::Win32Window::TranslateSkinKeys(key));
    EXPECT_FALSE(form->memTranslator->Lines().empty());
  }
  // Closed maximised, the window stored its normal size.
  int32_t width = 0;
  int32_t height = 0;
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Width", width));
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Height", height));
  EXPECT_EQ(width, TfrmMain::kDesignWidth);
  EXPECT_EQ(height, TfrmMain::kDesignHeight);
}

TEST_F(Win32WindowsTest, SplashInformationBoxAndBuilderOpenAndClose) {
  TfrmSplash splash(toolkit_, nullptr);
  EXPECT_TRUE(splash.ShowPainted(std::chrono::milliseconds(1500)));
  EXPECT_TRUE(splash.GetWindow().IsVisible());
  EXPECT_EQ(splash.GetWindow().FrameBounds(), TfrmSplash::kFrameRect);
  ExpectPlaces("frmSplash", {{"Label1", splash.Label1, TfrmSplash::kLabelRect}});
  splash.GetWindow().Hide();
  EXPECT_FALSE(splash.GetWindow().IsVisible());

  TfrmKrellvaneMsgBox box(toolkit_, nullptr);
  box.GetWindow().Show();
  EXPECT_TRUE(box.GetWindow().IsVisible());
  EXPECT_EQ(box.lblKrellvane->Text(), ComposeInformationText(Block()));
  SendMessageA(ui::win32::HandleOf(box.cmdClose), BM_CLICK, 0, 0);
  EXPECT_FALSE(box.GetWindow().IsVisible());

  TfrmBuildKV builder(toolkit_, nullptr);
  builder.GetWindow().Show();
  EXPECT_TRUE(builder.GetWindow().IsVisible());
  EXPECT_EQ(builder.GetWindow().GetSize(), TfrmBuildKV::kClientSize);
  ExpectPlaces("frmBuildKV", {{"Label1", builder.Label1, TfrmBuildKV::kLabel1},
                              {"txtFile", builder.txtFile, TfrmBuildKV::kTxtFile},
                              {"cmdBrowse", builder.cmdBrowse, TfrmBuildKV::kCmdBrowse},
                              {"cmdBuild", builder.cmdBuild, TfrmBuildKV::kCmdBuild},
                              {"cmdClose", builder.cmdClose, TfrmBuildKV::kCmdClose}});
  builder.txtFile->SetText("C:\\caf\xC3\xA9.txt");
  EXPECT_EQ(builder.txtFile->Text(), "C:\\caf\xC3\xA9.txt") << "through the ANSI code page";
  SendMessageA(ui::win32::HandleOf(builder.cmdClose), BM_CLICK, 0, 0);
  EXPECT_FALSE(builder.GetWindow().IsVisible());
}

}  // namespace
}  // namespace kv::test
