// The Windows platform on Wine's own system: version, counter, drive letters (with the CD-ROM
// letter K: that the test fixture adds to the prefix), and Wine's own ASPI manager, which reports
// no adapter and refuses every request.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drive/atapi_device.h"
#include "drive/command_record.h"
#include "drive/disc_type.h"
#include "drive/notifier.h"
#include "drive/platform/win32/win32_aspi_manager.h"
#include "drive/platform/win32/win32_platform.h"
#include "tests/support/win32/win32_test_support.h"

namespace kv::win32 {
namespace {

constexpr const char* kCdromRoot = "K:\\";

TEST(Win32System, WineIsOfTheNtFamilyAndHasACounter) {
  Win32Platform platform;
  EXPECT_TRUE(platform.IsNtFamily());
  EXPECT_TRUE(QueryNtFamily());
  EXPECT_GT(platform.CounterFrequency(), 0);
  const int64_t before = platform.CounterNow();
  platform.SleepMilliseconds(1);
  EXPECT_GE(platform.CounterNow(), before);
}

TEST(Win32System, DriveLettersAndTheirTypes) {
  Win32Platform platform;
  const DriveRootList list = platform.ListDriveRoots();
  ASSERT_EQ(list.outcome, DriveRootList::Outcome::Ok);
  EXPECT_NE(std::find(list.roots.begin(), list.roots.end(), "C:\\"), list.roots.end());
  EXPECT_NE(std::find(list.roots.begin(), list.roots.end(), kCdromRoot), list.roots.end());
  EXPECT_TRUE(platform.IsCdromRoot(kCdromRoot));
  EXPECT_FALSE(platform.IsCdromRoot("C:\\"));
  EXPECT_FALSE(platform.IsCdromRoot(""));
  for (const std::string& root : {std::string("Q:\\"), std::string("Q"), std::string()}) {
    EXPECT_EQ(platform.OpenDevice(root), kInvalidHandle) << root;
  }
}

// Wine opens the letter's device but supports neither SCSI ioctl without a real drive.
TEST(Win32System, CdromLetterWhoseIoctlsFail) {
  Win32Platform platform;
  const DeviceHandle handle = platform.OpenDevice(kCdromRoot);
  ASSERT_NE(handle, kInvalidHandle);
  EXPECT_EQ(platform.GetScsiAddress(handle).outcome, ScsiAddressResult::Outcome::CallFailed);
  ScsiRequest request;
  request.cdb = {0x00};
  const PassThroughResult result = platform.PassThrough(handle, request);
  EXPECT_FALSE(result.callSucceeded);
  EXPECT_NE(result.osError, 0);
  platform.CloseDevice(handle);
  EXPECT_FALSE(platform.PassThrough(handle, request).callSucceeded) << "closed handle";
}

TEST(Win32System, LetterEnumerationGivesAMadeUpAddressAndCommandsFailCleanly) {
  Win32Platform platform;
  RecordingNotifier notifier;
  AtapiDevice device(platform, notifier);
  EXPECT_FALSE(device.UsesAspi());
  ASSERT_EQ(device.GetDriveCount(), 1);
  const DriveRecord* record = device.GetDriveRecord(0);
  ASSERT_NE(record, nullptr);
  EXPECT_STREQ(record->RootPath, kCdromRoot);
  EXPECT_EQ(record->HostAdapter, 2);
  EXPECT_EQ(record->PathId, 0);
  EXPECT_EQ(record->Target, 0);
  EXPECT_EQ(record->Lun, 0);
  EXPECT_STREQ(record->Vendor, "") << "its INQUIRY failed";

  ASSERT_TRUE(device.SelectDrive(0));
  EXPECT_EQ(device.TestUnitReady(), 0);
  EXPECT_EQ(device.LastCommand().Status, kStatusFailed);
  EXPECT_EQ(device.LastCommand().Transferred, 0u);
  // Nothing answers, not even NOT READY: the disc is of an unknown type, not absent.
  EXPECT_EQ(device.QueryDiscType(), DiscType::kUnknown);
  device.CloseDrive();
}

TEST(Win32System, WinesOwnManagerReportsNoAdapterOnceAndRefusesRequests) {
  Win32Platform platform;
  AspiLoadResult loaded = platform.LoadAspi();
  ASSERT_EQ(loaded.outcome, AspiLoadResult::Outcome::Loaded);
  EXPECT_EQ((loaded.manager->GetSupportInfo() >> 8) & 0xFF, kSsNoAdapters);
  loaded.manager.reset();

  RecordingNotifier notifier;
  AtapiDevice device(platform, notifier);
  EXPECT_FALSE(device.ProbeAspi());
  EXPECT_EQ(notifier.messages.size(), 0u) << "the probe is silent";
  EXPECT_FALSE(device.LoadAspi());
  ASSERT_EQ(notifier.messages.size(), 1u);
  EXPECT_EQ(notifier.messages[0].text, "Error initializing ASPI.");
  EXPECT_EQ(notifier.messages[0].caption, "GetASPISupportInfo:");

  // With an adapter entry the manager loads, yet it still refuses every request and never
  // completes one: the commands must end at once instead of waiting out their time-out.
  const VolatileScsiAdapterEntry adapter;
  ASSERT_TRUE(adapter.Made());
  AspiLoadResult withAdapter = LoadSystemAspi();
  ASSERT_EQ(withAdapter.outcome, AspiLoadResult::Outcome::Loaded);
  EXPECT_EQ((withAdapter.manager->GetSupportInfo() >> 8) & 0xFF, kSsComp);
  EXPECT_NE(withAdapter.manager->HaInquiry(0).srbStatus, kSsComp);
  ScsiRequest request;
  request.cdb = {0x00};
  request.timeoutSeconds = 108000;
  EXPECT_EQ(withAdapter.manager->Execute(0, 1, 0, request).srbStatus, kSsInvalidSrb);
  AspiLoadResult polling = LoadSystemAspi([] { return HANDLE{nullptr}; });
  EXPECT_EQ(polling.manager->Execute(0, 1, 0, request).srbStatus, kSsInvalidSrb);
}

// A process reads its Wine version setting when it starts, so the probe program runs under it.
TEST(Win32System, Win98VersionSettingTurnsTheNtFlagOffAndForcesAspi) {
  const std::string probe = ProgramBesideThisOne("kv_osinfo_probe.exe");
  {
    const WineAppVersion win98("kv_osinfo_probe.exe", "win98");
    ASSERT_TRUE(win98.Set());
    const ProgramRun run = RunProgram(probe);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.rfind("nt=0 aspi=1 drives=0", 0), 0u) << run.out << run.err;
  }
  const ProgramRun run = RunProgram(probe);
  EXPECT_EQ(run.out.rfind("nt=1 aspi=0 drives=1", 0), 0u) << run.out << run.err;
}

}  // namespace
}  // namespace kv::win32
