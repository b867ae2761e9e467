// Pressing "?" in the main window on the emulated sample drives writes the same report into
// memTranslator that the report logic gives for the selected drive.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/core/main_window_logic.h"
#include "app/core/media_check.h"
#include "app/forms/frmmain.h"
#include "drive/atapi_device.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "tests/support/fake_toolkit.h"
#include "ui/message_boxes.h"

namespace kv {
namespace {

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

// The report of the window's list line on a machine of its own.
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

class MediaCheckWindow : public ::testing::Test {
 protected:
  MediaCheckWindow() {
    MainWindowServices services;
    services.toolkit = &toolkit_;
    services.boxes = &boxes_;
    services.runModal = [](ui::Form&) { return 0; };
    window_ = std::make_unique<TfrmMain>(SampleMachine(), services);
  }

  std::vector<std::string> Report() const { return window_->memTranslator->Lines(); }
  void Press() { test::AsFake<test::FakePictureButton>(window_->cmdRefresh).UserClick(); }

  test::FakeToolkit toolkit_;
  ui::RecordingMessageBoxes boxes_;
  std::unique_ptr<TfrmMain> window_;
};

TEST_F(MediaCheckWindow, QuestionMarkWritesTheReportOfEachLine) {
  ASSERT_FALSE(window_->TerminateRequested());
  ASSERT_GT(window_->cboDrives->Count(), 1);
  for (int line = 0; line < window_->cboDrives->Count(); ++line) {
    ASSERT_TRUE(test::AsFake<test::FakeDropDown>(window_->cboDrives).UserPick(line));
    EXPECT_TRUE(Report().empty()) << "picking a line clears the report";
    Press();
    std::vector<std::string> expected = ExpectedReport(line);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(Report(), expected) << "line " << line;
  }
  EXPECT_TRUE(boxes_.entries().empty());
}

TEST_F(MediaCheckWindow, SecondPressStartsFromAnEmptyBox) {
  Press();
  std::vector<std::string> first = Report();
  Press();
  EXPECT_EQ(Report(), first);
}

// The interim "Please wait ..." line is painted (a pass over the pending messages) while the drive
// becomes ready, and the window refuses a second press meanwhile.
TEST_F(MediaCheckWindow, WaitKeepsTheWindowPaintedAndRefusesASecondPress) {
  auto owned = SampleMachine();
  auto* machine = dynamic_cast<emu::EmulatedPlatform*>(owned.get());
  ASSERT_NE(machine, nullptr);
  machine->Drive(0).SetBecomingReady(40, 0);
  MainWindowServices services;
  services.toolkit = &toolkit_;
  services.boxes = &boxes_;
  TfrmMain form(std::move(owned), services);
  auto& button = test::AsFake<test::FakePictureButton>(form.cmdRefresh);
  auto& window = dynamic_cast<test::FakeWindow&>(form.GetWindow());

  int passes = 0;
  bool busyDuring = true;
  bool enabledDuring = true;
  ui::PictureState pictureDuring = ui::PictureState::Normal;
  std::vector<std::string> reportDuring;
  std::size_t commandsAtSecondPress = 0;
  toolkit_.onPendingPass = [&] {
    if (++passes != 5) {
      return;
    }
    busyDuring = window.busy();
    enabledDuring = form.cmdRefresh->Enabled();
    pictureDuring = form.cmdRefresh->State();
    reportDuring = form.memTranslator->Lines();
    commandsAtSecondPress = machine->CdbLog().size();
    button.UserClick();
    EXPECT_FALSE(window.PressKey(ui::Key::F5));
    EXPECT_FALSE(test::AsFake<test::FakeDropDown>(form.cboDrives).UserPick(0));
  };
  machine->ClearCdbLog();
  button.UserClick();
  toolkit_.onPendingPass = nullptr;

  EXPECT_GE(passes, 5) << "the wait handed the window its messages";
  EXPECT_TRUE(busyDuring);
  EXPECT_FALSE(enabledDuring);
  EXPECT_EQ(pictureDuring, ui::PictureState::Pressed);
  EXPECT_EQ(reportDuring, std::vector<std::string>{"Please wait ..."});
  EXPECT_GT(commandsAtSecondPress, 0u);
  EXPECT_FALSE(window.busy());
  EXPECT_TRUE(form.cmdRefresh->Enabled());
  EXPECT_EQ(window.timesBusy(), 1) << "one check, not two";
}

TEST_F(MediaCheckWindow, DelegatesTheLookupHelpers) {
  EXPECT_EQ(window_->FindManufacturer(DiscType::kNoMedia, 0, 0), nullptr);
  char bytes[] = "A\x01\xC1Z";
  EXPECT_EQ(window_->MakePrintable(bytes, 4), bytes);
  EXPECT_EQ(std::string(bytes), "A..Z");
}

}  // namespace
}  // namespace kv
