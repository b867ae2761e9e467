// Pressing "?" in the main window on the emulated sample drives writes the same report into
// memTranslator that the report logic gives for the selected drive.
#include <gtest/gtest.h>
#include "tests/ui/test_application.h"

#include <QApplication>
#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "app/core/main_window_logic.h"
#include "app/core/media_check.h"
#include "app/forms/frmmain.h"
#include "drive/atapi_device.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "ui/message_boxes.h"

namespace kv {
namespace {

QApplication& App() {
  return test::TestApplication();
}

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
    App();
    MainWindowServices services;
    services.boxes = &boxes_;
    services.runModal = [](QDialog&) { return 0; };
    window_ = std::make_unique<TfrmMain>(SampleMachine(), services);
  }

  std::vector<std::string> Report() const {
    std::vector<std::string> lines;
    for (const QString& line : window_->memTranslator->lines()) {
      lines.push_back(line.toStdString());
    }
    return lines;
  }

  ui::RecordingMessageBoxes boxes_;
  std::unique_ptr<TfrmMain> window_;
};

TEST_F(MediaCheckWindow, QuestionMarkWritesTheReportOfEachLine) {
  ASSERT_FALSE(window_->TerminateRequested());
  ASSERT_GT(window_->cboDrives->count(), 1);
  for (int line = 0; line < window_->cboDrives->count(); ++line) {
    window_->cboDrives->setCurrentIndex(line);
    window_->cmdRefresh->click();
    std::vector<std::string> expected = ExpectedReport(line);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(Report(), expected) << "line " << line;
  }
  EXPECT_TRUE(boxes_.entries().empty());
}

TEST_F(MediaCheckWindow, SecondPressStartsFromAnEmptyBox) {
  window_->cmdRefresh->click();
  std::vector<std::string> first = Report();
  window_->cmdRefresh->click();
  EXPECT_EQ(Report(), first);
}

TEST_F(MediaCheckWindow, DelegatesTheLookupHelpers) {
  EXPECT_EQ(window_->FindManufacturer(DiscType::kNoMedia, 0, 0), nullptr);
  char bytes[] = "A\x01\xC1Z";
  EXPECT_EQ(window_->MakePrintable(bytes, 4), bytes);
  EXPECT_EQ(std::string(bytes), "A..Z");
}

}  // namespace
}  // namespace kv
