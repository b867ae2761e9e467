// The ASPI path end to end under Wine: the Windows platform loads the stand-in WNASPI32.dll built
// beside these tests (which answers from the emulated sample drives), scans the host adapter,
// finds the drives by device type and runs whole media checks over SC_EXEC_SCSI_CMD. Whatever
// the program prints must equal what it prints on the emulated machine's own ASPI manager.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/core/cli.h"
#include "app/core/cli_check.h"
#include "app/core/cli_list.h"
#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/command_record.h"
#include "drive/disc_type.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/win32/aspi_srb.h"
#include "drive/platform/win32/win32_aspi_manager.h"
#include "drive/platform/win32/win32_platform.h"
#include "tests/support/win32/win32_test_support.h"

namespace kv::win32 {
namespace {

constexpr const char* kCompletionVariable = "KV_STANDIN_COMPLETION";

// The stand-in's completion mode for the scope's life.
class StandInCompletion {
 public:
  explicit StandInCompletion(const char* mode) {
    SetEnvironmentVariableA(kCompletionVariable, mode);
  }
  ~StandInCompletion() { SetEnvironmentVariableA(kCompletionVariable, nullptr); }
  StandInCompletion(const StandInCompletion&) = delete;
  StandInCompletion& operator=(const StandInCompletion&) = delete;
};

// The Windows platform whose manager cannot make completion events, so it polls.
class PollingWin32Platform : public Win32Platform {
 public:
  AspiLoadResult LoadAspi() override {
    return LoadSystemAspi([] { return HANDLE{nullptr}; });
  }
};

std::unique_ptr<emu::EmulatedPlatform> ReferenceMachine() {
  std::string error;
  auto machine = emu::CreateEmulatedMachine({}, error);
  EXPECT_NE(machine, nullptr) << error;
  machine->SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
  return machine;
}

struct Output {
  int exitCode = -1;
  std::string out;
  std::string err;
};

Output List(Platform& platform) {
  RecordingNotifier notifier;
  std::ostringstream out;
  std::ostringstream err;
  Output result;
  result.exitCode = ListDrives(platform, notifier, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

Output Check(Platform& platform, int line, bool json) {
  CliRequest request;
  request.mode = CliMode::Check;
  request.checkLine = line;
  request.anyDrive = true;
  request.json = json;
  std::ostringstream out;
  std::ostringstream err;
  Output result;
  RecordingNotifier notifier;
  result.exitCode = RunCheckOn(platform, notifier, request, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// The stand-in's drives keep their state between commands (speeds set, attentions consumed), so
// the reference machine lives as long and sees the same sequence.
void ExpectSameAsReference(Platform& windows, int drives) {
  auto reference = ReferenceMachine();
  const Output listed = List(windows);
  const Output expected = List(*reference);
  EXPECT_EQ(listed.exitCode, expected.exitCode);
  EXPECT_EQ(listed.out, expected.out);
  for (int line = 1; line <= drives; ++line) {
    for (const bool json : {false, true}) {
      const Output got = Check(windows, line, json);
      const Output want = Check(*reference, line, json);
      EXPECT_EQ(got.exitCode, want.exitCode) << "line " << line << " json " << json;
      EXPECT_EQ(got.out, want.out) << "line " << line << " json " << json;
    }
  }
}

TEST(StandInAspi, LoadsInsteadOfWinesOwn) {
  Win32Platform platform;
  AspiLoadResult loaded = platform.LoadAspi();
  ASSERT_EQ(loaded.outcome, AspiLoadResult::Outcome::Loaded);
  EXPECT_EQ((loaded.manager->GetSupportInfo() >> 8) & 0xFF, kSsComp)
      << "Wine's own manager answers E8h here: is WINEDLLOVERRIDES=wnaspi32=n set?";
  const AspiHaInquiry adapter = loaded.manager->HaInquiry(0);
  EXPECT_EQ(adapter.srbStatus, kSsComp);
  EXPECT_EQ(adapter.haCount, 1);
  EXPECT_EQ(loaded.manager->GetDeviceType(0, 0, 0).deviceType, kDeviceTypeCdrom);
  EXPECT_NE(loaded.manager->GetDeviceType(0, 15, 7).srbStatus, kSsComp);
}

TEST(StandInAspi, DeviceScanFindsEverySampleDriveOverAspi) {
  Win32Platform platform;
  RecordingNotifier notifier;
  SetApplicationTag(kApplicationTagPreferAspi);
  AtapiDevice device(platform, notifier);
  EXPECT_TRUE(device.UsesAspi());
  auto reference = ReferenceMachine();
  ASSERT_EQ(device.GetDriveCount(), reference->DriveCount());
  for (uint32_t i = 0; i < device.GetDriveCount(); ++i) {
    const DriveRecord* record = device.GetDriveRecord(i);
    ASSERT_NE(record, nullptr);
    EXPECT_STREQ(record->RootPath, "");
    EXPECT_EQ(record->HostAdapter, 0);
    EXPECT_NE(record->Vendor[0], '\0') << "INQUIRY over SC_EXEC_SCSI_CMD, drive " << i;
  }
  EXPECT_TRUE(notifier.messages.empty());
}

TEST(StandInAspi, MediaChecksWithEventCompletionMatchTheEmulatedMachine) {
  Win32Platform platform;
  ExpectSameAsReference(platform, ReferenceMachine()->DriveCount());
}

TEST(StandInAspi, MediaChecksByPollingMatchTheEmulatedMachine) {
  PollingWin32Platform platform;
  ExpectSameAsReference(platform, ReferenceMachine()->DriveCount());
}

TEST(StandInAspi, RequestsCompletedBeforeTheCallReturns) {
  const StandInCompletion immediate("immediate");
  Win32Platform platform;
  ExpectSameAsReference(platform, 2);
}

// The manager refuses every SCSI command at once and leaves its status pending: every command
// fails at once (status 0) instead of waiting out its 30-hour time-out.
TEST(StandInAspi, RefusedCommandsFailAtOnce) {
  const StandInCompletion reject("reject");
  for (const bool polling : {false, true}) {
    std::unique_ptr<Win32Platform> platform =
        polling ? std::make_unique<PollingWin32Platform>() : std::make_unique<Win32Platform>();
    RecordingNotifier notifier;
    SetApplicationTag(kApplicationTagPreferAspi);
    AtapiDevice device(*platform, notifier);
    ASSERT_TRUE(device.UsesAspi());
    ASSERT_GT(device.GetDriveCount(), 0);
    EXPECT_STREQ(device.GetDriveRecord(0)->Vendor, "") << "its INQUIRY was refused";
    ASSERT_TRUE(device.SelectDrive(0));
    EXPECT_EQ(device.TestUnitReady(), 0);
    EXPECT_EQ(device.LastCommand().Status, kStatusFailed);
    EXPECT_EQ(device.LastCommand().TimedOut, 0);
    // Nothing answers, not even NOT READY: the disc is of an unknown type, not absent.
    EXPECT_EQ(device.QueryDiscType(), DiscType::kUnknown);
  }
}

}  // namespace
}  // namespace kv::win32
