// Which transport the enumeration ends on, and the manager's load failures.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/drive/enumeration_machine.h"

namespace kv {
namespace {

using enumtest::Machine;

TEST(EnumerationSwitch, ManagerSeeingFewerDrivesThanNodesFallsBackToNodesOnce) {
  Machine m;
  for (const char* product : {"ALPHA", "BRAVO", "CHARLIE"}) {
    m.AddDrive(product);
  }
  m.InstallManager();
  m.platform.SetAspiVisible(1, false);
  m.platform.SetAspiVisible(2, false);

  auto device = m.Build();

  ASSERT_EQ(device->GetDriveCount(), 3);
  EXPECT_FALSE(device->UsesAspi());
  EXPECT_FALSE(device->IsAspiLoaded());
  EXPECT_TRUE(device->IsAspiAvailable());
  EXPECT_EQ(m.platform.LiveAspiManagers(), 0);
  EXPECT_EQ(m.platform.AspiLoadCount(), 2u) << "the probe and the one load, never a reload";
  for (uint32_t i = 0; i < 3; ++i) {
    const DriveRecord* drive = device->GetDriveRecord(i);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->ViaAspi, 0) << i;
    EXPECT_STREQ(drive->RootPath, ("sr" + std::to_string(i)).c_str());
  }
  EXPECT_TRUE(m.notifier.messages.empty());
}

struct TransportCase {
  const char* name;
  bool ntFamily;
  int32_t tag;
  bool managerSeesAll;
  bool expectAspi;
};

class EnumerationTransport : public ::testing::TestWithParam<TransportCase> {};

TEST_P(EnumerationTransport, EndsOnTheExpectedTransport) {
  const TransportCase& c = GetParam();
  Machine m;
  m.AddDrive("ALPHA");
  m.AddDrive("BRAVO");
  m.InstallManager();
  m.platform.SetNtFamily(c.ntFamily);
  if (!c.managerSeesAll) {
    m.platform.SetAspiVisible(1, false);
  }

  auto device = m.Build(c.tag);

  EXPECT_EQ(device->UsesAspi(), c.expectAspi);
  EXPECT_EQ(device->GetDriveCount(), c.expectAspi && !c.managerSeesAll ? 1 : 2);
  for (uint32_t i = 0; i < device->GetDriveCount(); ++i) {
    const DriveRecord* drive = device->GetDriveRecord(i);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->ViaAspi, c.expectAspi ? 1 : 0);
    if (c.expectAspi) {
      // A drive found through the manager has no node name and path id 0.
      EXPECT_STREQ(drive->RootPath, "");
      EXPECT_EQ(drive->PathId, 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, EnumerationTransport,
                         ::testing::Values(TransportCase{"NtManagerSeesAll", true,
                                                         kApplicationTagPreferAspi, true, true},
                                           TransportCase{"NtTagNotSet", true, 0, true, false},
                                           TransportCase{"NtManagerSeesFewer", true,
                                                         kApplicationTagPreferAspi, false, false},
                                           // Without pass-through there is nothing to fall back to.
                                           TransportCase{"NotNtManagerSeesFewer", false,
                                                         kApplicationTagPreferAspi, false, true},
                                           TransportCase{"NotNtTagNotSet", false, 0, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EnumerationAspiScan, TakesOnlyCdromDevicesAndStopsAtAFailingAdapter) {
  Machine m;
  m.platform.SetNtFamily(false);
  m.InstallManager(3);
  m.platform.SetAspiAddress(m.AddDrive("ON-ZERO"), 0, 4, 1);
  m.platform.SetAspiAddress(m.AddDrive("ON-TWO"), 2, 0, 0);
  m.platform.Aspi().extraDevices.push_back({0, 0, 0, 0});  // a disk
  m.platform.SetHaInquiryStatus(1, emu::kSsInvalidHa);

  auto device = m.Build();

  ASSERT_EQ(device->GetDriveCount(), 1);
  const DriveRecord* drive = device->GetDriveRecord(0);
  ASSERT_NE(drive, nullptr);
  EXPECT_EQ(enumtest::ProductOf(*drive), "ON-ZERO");
  EXPECT_EQ(drive->HostAdapter, 0);
  EXPECT_EQ(drive->Target, 4);
  EXPECT_EQ(drive->Lun, 1);
}

TEST(EnumerationAspiScan, FailingFirstInquiryFindsNothing) {
  Machine m;
  m.platform.SetNtFamily(false);
  m.InstallManager(2);
  m.AddDrive("ALPHA");
  m.platform.SetHaInquiryStatus(0, emu::kSsInvalidHa);

  EXPECT_EQ(m.Build()->GetDriveCount(), 0);
}

TEST(EnumerationAspiScan, KeepsAtMostSixteenDrives) {
  Machine m;
  m.platform.SetNtFamily(false);
  m.InstallManager(2);
  for (int i = 0; i < 20; ++i) {
    const int index = m.AddDrive("D" + std::to_string(i));
    m.platform.SetAspiAddress(index, static_cast<uint8_t>(i / 16), static_cast<uint8_t>(i % 16), 0);
  }

  auto device = m.Build();

  ASSERT_EQ(device->GetDriveCount(), kMaxDrives);
  const DriveRecord* last = device->GetDriveRecord(kMaxDrives - 1);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->HostAdapter, 0);
  EXPECT_EQ(last->Target, 15);
}

struct LoadFailureCase {
  const char* name;
  AspiLoadResult::Outcome outcome;
  uint8_t supportStatus;
  const char* text;
  const char* caption;
};

class AspiLoadFailure : public ::testing::TestWithParam<LoadFailureCase> {};

TEST_P(AspiLoadFailure, ShowsItsMessageOnceAndLeavesNothingLoaded) {
  const LoadFailureCase& c = GetParam();
  Machine m;
  m.AddDrive("ALPHA");
  m.platform.SetNtFamily(false);  // the manager is required: the load is made and may fail
  m.platform.SetAspiLoadOutcome(c.outcome);
  m.platform.SetAspiSupportInfo(c.supportStatus, 1);

  auto device = m.Build();

  ASSERT_EQ(m.notifier.messages.size(), 1u);
  EXPECT_EQ(m.notifier.messages[0].first, c.text);
  EXPECT_EQ(m.notifier.messages[0].second, c.caption);
  EXPECT_FALSE(device->IsAspiLoaded());
  EXPECT_TRUE(device->UsesAspi());
  EXPECT_EQ(device->GetDriveCount(), 0);
  EXPECT_EQ(m.platform.LiveAspiManagers(), 0);
}

TEST_P(AspiLoadFailure, ProbeIsSilent) {
  const LoadFailureCase& c = GetParam();
  Machine m;
  m.AddDrive("ALPHA");
  m.platform.SetAspiLoadOutcome(c.outcome);
  m.platform.SetAspiSupportInfo(c.supportStatus, 1);

  auto device = m.Build();  // NT family: only the probe touches the manager

  EXPECT_TRUE(m.notifier.messages.empty());
  EXPECT_FALSE(device->IsAspiAvailable());
  EXPECT_FALSE(device->ProbeAspi());
  EXPECT_TRUE(m.notifier.messages.empty());
  EXPECT_EQ(device->GetDriveCount(), 1) << "pass-through still finds the drive";
}

using Outcome = AspiLoadResult::Outcome;

INSTANTIATE_TEST_SUITE_P(
    Messages, AspiLoadFailure,
    ::testing::Values(
        LoadFailureCase{"ModuleNotFound", Outcome::ModuleNotFound, kSsComp,
                        "LoadLibrary:\nWNASPI32.DLL not found.", "Error FS 002"},
        LoadFailureCase{"NoSupportInfoEntry", Outcome::NoSupportInfoEntry, kSsComp,
                        "GetProcAddress:\nGetASPI32SupportInfo not fount.", "Error FS 003"},
        LoadFailureCase{"NoSendCommandEntry", Outcome::NoSendCommandEntry, kSsComp,
                        "GetProcAddress:\npfnSendASPI32Command not found.", "Error FS 004"},
        LoadFailureCase{"NoAspi", Outcome::Loaded, kSsNoAspi, "Could not find the ASPI manager.",
                        "GetASPISupportInfo:"},
        LoadFailureCase{"IllegalMode", Outcome::Loaded, kSsIllegalMode,
                        "ASPI for Windows does not support real mode.", "GetASPISupportInfo:"},
        LoadFailureCase{"OldManager", Outcome::Loaded, kSsOldManager, "Old ASPI manager.",
                        "GetASPISupportInfo:"},
        LoadFailureCase{"PendingStatus", Outcome::Loaded, kSsPending, "Error initializing ASPI.",
                        "GetASPISupportInfo:"},
        LoadFailureCase{"OtherStatus", Outcome::Loaded, 0x04, "Error initializing ASPI.",
                        "GetASPISupportInfo:"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AspiLoading, UnloadFreesTheManagerAndAReloadWorks) {
  Machine m;
  m.AddDrive("ALPHA");
  m.InstallManager();
  auto device = m.Build();
  ASSERT_TRUE(device->IsAspiLoaded());

  device->UnloadAspi();
  EXPECT_FALSE(device->IsAspiLoaded());
  EXPECT_EQ(m.platform.LiveAspiManagers(), 0);
  device->UnloadAspi();  // twice is harmless

  EXPECT_TRUE(device->LoadAspi());
  EXPECT_EQ(m.platform.LiveAspiManagers(), 1);
  EXPECT_TRUE(m.notifier.messages.empty());
}

}  // namespace
}  // namespace kv
