// The drive table a refresh builds from the drive nodes: addresses, order, identification.
#include <gtest/gtest.h>

#include "tests/drive/enumeration_machine.h"

namespace kv {
namespace {

using enumtest::Machine;
using enumtest::ProductOf;
using AddressOutcome = ScsiAddressResult::Outcome;

TEST(EnumerationNodes, DrivesWithoutAnAddressGetMadeUpHostAdaptersFromTwo) {
  Machine m;
  const int first = m.AddDrive("NO-ADDR-A");
  const int addressed = m.AddDrive("ADDRESSED");
  const int second = m.AddDrive("NO-ADDR-B");
  m.platform.SetScsiAddressOutcome(first, AddressOutcome::CallFailed);
  m.platform.SetScsiAddress(addressed, 1, 0, 0, 0);
  m.platform.SetScsiAddressOutcome(second, AddressOutcome::CallFailed);

  auto device = m.Build(0);

  ASSERT_EQ(device->GetDriveCount(), 3);
  struct Expected {
    const char* product;
    const char* root;
    int16_t hostAdapter;
  };
  const Expected expected[] = {
      {"ADDRESSED", "sr1", 1}, {"NO-ADDR-A", "sr0", 2}, {"NO-ADDR-B", "sr2", 3}};
  for (uint32_t i = 0; i < 3; ++i) {
    const DriveRecord* drive = device->GetDriveRecord(i);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(ProductOf(*drive), expected[i].product);
    EXPECT_STREQ(drive->RootPath, expected[i].root);
    EXPECT_EQ(drive->HostAdapter, expected[i].hostAdapter);
    EXPECT_EQ(drive->PathId, 0);
    EXPECT_EQ(drive->Target, 0);
    EXPECT_EQ(drive->Lun, 0);
  }
}

TEST(EnumerationNodes, NodesThatCannotBeUsedAreNotListed) {
  Machine m;
  m.platform.SetScsiAddressOutcome(m.AddDrive("LENGTH-ZERO"), AddressOutcome::LengthZero);
  m.platform.SetOpenFails(m.AddDrive("NO-OPEN"), true);
  m.platform.SetCdromRoot(m.AddDrive("NOT-CDROM"), false);
  m.platform.SetListedAsRoot(m.AddDrive("UNLISTED"), false);
  m.platform.AddExtraRoot("C:\\");
  m.platform.SetScsiAddress(m.AddDrive("GOOD"), 0, 0, 4, 0);

  auto device = m.Build(0);

  ASSERT_EQ(device->GetDriveCount(), 1);
  EXPECT_EQ(ProductOf(*device->GetDriveRecord(0)), "GOOD");
  EXPECT_EQ(device->GetDriveRecord(1), nullptr);
}

TEST(EnumerationNodes, RootListFailuresFindNothing) {
  for (const auto outcome :
       {DriveRootList::Outcome::Empty, DriveRootList::Outcome::AllocationFailed}) {
    Machine m;
    m.AddDrive("ALPHA");
    m.platform.SetRootListOutcome(outcome);
    auto device = m.Build(0);
    EXPECT_EQ(device->GetDriveCount(), 0);
    EXPECT_EQ(device->CountCdromLetters(), outcome == DriveRootList::Outcome::Empty ? 0 : -1);
  }
}

TEST(EnumerationNodes, KeepsAtMostSixteenNodes) {
  Machine m;
  for (int i = 0; i < 18; ++i) {
    m.platform.SetScsiAddress(m.AddDrive("D" + std::to_string(i)), 0, 0,
                              static_cast<uint8_t>(i % 16), static_cast<uint8_t>(i / 16));
  }
  auto device = m.Build(0);
  EXPECT_EQ(device->GetDriveCount(), kMaxDrives);
  EXPECT_EQ(device->CountCdromLetters(), 18);
}

struct SortCase {
  const char* name;
  uint8_t port, pathId, target, lun;
  bool kept;
};

class EnumerationSortLimit : public ::testing::TestWithParam<SortCase> {};

TEST_P(EnumerationSortLimit, KeysFrom65535UpAreDropped) {
  const SortCase& c = GetParam();
  Machine m;
  m.platform.SetScsiAddress(m.AddDrive("REFERENCE"), 0, 0, 0, 0);
  m.platform.SetScsiAddress(m.AddDrive("PROBE"), c.port, c.pathId, c.target, c.lun);

  auto device = m.Build(0);

  ASSERT_EQ(device->GetDriveCount(), c.kept ? 2 : 1);
  EXPECT_EQ(ProductOf(*device->GetDriveRecord(0)), "REFERENCE");
  if (c.kept) {
    const DriveRecord* probe = device->GetDriveRecord(1);
    EXPECT_EQ(ProductOf(*probe), "PROBE");
    EXPECT_EQ(probe->HostAdapter, c.port);
    EXPECT_EQ(probe->PathId, c.pathId);
    EXPECT_EQ(probe->Target, c.target);
    EXPECT_EQ(probe->Lun, c.lun);
  }
}

INSTANTIATE_TEST_SUITE_P(Keys, EnumerationSortLimit,
                         ::testing::Values(SortCase{"HighestKept", 15, 15, 15, 14,
                                                    true},  // key 65534
                                           SortCase{"Key65535", 15, 15, 15, 15, false},
                                           SortCase{"HostAdapter16", 16, 0, 0, 0, false},
                                           SortCase{"HostAdapter255", 255, 0, 0, 0, false},
                                           SortCase{"HostAdapter1", 1, 0, 0, 0, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EnumerationSort, OrdersByAddressAndKeepsEnumerationOrderForEqualKeys) {
  Machine m;
  struct Drive {
    const char* product;
    uint8_t port, pathId, target, lun;
  };
  const Drive drives[] = {{"E", 1, 0, 0, 0}, {"A", 0, 0, 1, 0},      {"SAME-1", 0, 0, 0, 1},
                          {"B", 0, 1, 0, 0}, {"SAME-2", 0, 0, 0, 1}, {"FIRST", 0, 0, 0, 0}};
  for (const Drive& d : drives) {
    m.platform.SetScsiAddress(m.AddDrive(d.product), d.port, d.pathId, d.target, d.lun);
  }

  auto device = m.Build(0);

  const char* expected[] = {"FIRST", "SAME-1", "SAME-2", "A", "B", "E"};
  ASSERT_EQ(device->GetDriveCount(), 6);
  for (uint32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(ProductOf(*device->GetDriveRecord(i)), expected[i]) << i;
  }
}

TEST(EnumerationIdentify, TenInquiryAttemptsAreSharedByAllDrives) {
  Machine m;
  for (int i = 0; i < 11; ++i) {
    m.AddDrive("DRIVE-" + std::to_string(i));
  }

  auto device = m.Build(0);

  ASSERT_EQ(device->GetDriveCount(), 11);
  for (uint32_t i = 0; i < 10; ++i) {
    const DriveRecord* drive = device->GetDriveRecord(i);
    EXPECT_EQ(ProductOf(*drive), "DRIVE-" + std::to_string(i));
    EXPECT_EQ(std::string(drive->DisplayName, 8), "ORVELIX ");
    EXPECT_EQ(std::string(drive->DisplayName + 8), std::string(drive->Product));
    EXPECT_STREQ(drive->Revision, "1.04");
  }
  const DriveRecord* last = device->GetDriveRecord(10);
  ASSERT_NE(last, nullptr) << "a drive without texts is still listed";
  EXPECT_STREQ(last->DisplayName, "");
  EXPECT_STREQ(last->Vendor, "");
  EXPECT_STREQ(last->Revision, "");
  EXPECT_NE(last->DriveType, DriveType::kUnknown) << "and still classified";
}

TEST(EnumerationIdentify, FailedAttemptsCountAgainstTheBudget) {
  Machine m;
  for (int i = 0; i < 10; ++i) {
    m.AddDrive("DRIVE-" + std::to_string(i));
  }
  emu::Fault refuse;
  refuse.sense = emu::kSenseInvalidFieldInCdb;
  refuse.times = 2;
  m.platform.Drive(0).MutableProfile().faults["12"] = {refuse};

  auto device = m.Build(0);

  // Drive 0 needs three attempts, drives 1 to 7 one each: the budget ends before drive 8.
  ASSERT_EQ(device->GetDriveCount(), 10);
  for (uint32_t i = 0; i < 10; ++i) {
    const bool named = i < 8;
    EXPECT_EQ(ProductOf(*device->GetDriveRecord(i)), named ? "DRIVE-" + std::to_string(i) : "")
        << i;
  }
}

TEST(EnumerationIdentify, AllZeroVendorAndProductIsNotAnIdentification) {
  Machine m;
  const int blank = m.AddDrive("");
  m.platform.Drive(blank).MutableProfile().drive.inquiry.vendor = "";
  m.platform.Drive(blank).MutableProfile().raw["12"] = std::vector<uint8_t>(96, 0);
  m.AddDrive("SECOND");

  auto device = m.Build(0);

  // The blank drive spends all ten attempts (each answer carries no texts), so the second gets
  // none either.
  ASSERT_EQ(device->GetDriveCount(), 2);
  EXPECT_STREQ(device->GetDriveRecord(0)->DisplayName, "");
  EXPECT_STREQ(device->GetDriveRecord(1)->DisplayName, "");
}

TEST(EnumerationIdentify, BytesTheDriveDidNotSendAreNotTakenFromTheDriveBefore) {
  Machine m;
  const int full = m.AddDrive("FULL");
  m.platform.Drive(full).MutableProfile().drive.inquiry.vendorSpecific = "SERIAL-OF-FULL";
  const int shortAnswer = m.AddDrive("SHORT");
  emu::Fault cut;
  cut.shortBytes = 34;  // ends inside the revision
  m.platform.Drive(shortAnswer).MutableProfile().faults["12"] = {cut};

  auto device = m.Build(0);

  ASSERT_EQ(device->GetDriveCount(), 2);
  EXPECT_STREQ(device->GetDriveRecord(0)->VendorSpecific, "SERIAL-OF-FULL  ");
  const DriveRecord* drive = device->GetDriveRecord(1);
  EXPECT_EQ(ProductOf(*drive), "SHORT");
  EXPECT_STREQ(drive->Revision, "1.");
  EXPECT_STREQ(drive->VendorSpecific, "");
}

TEST(EnumerationSelection, NoDriveIsAddressedAfterTheRefresh) {
  Machine m;
  m.AddDrive("ALPHA");
  m.AddDrive("BRAVO");

  auto device = m.Build(0);

  EXPECT_EQ(device->GetDeviceHandle(), kInvalidHandle);
  EXPECT_EQ(device->GetCurrentAddress().HostAdapter, -1);
  EXPECT_EQ(device->GetCurrentAddress().Target, -1);
  EXPECT_EQ(m.platform.OpenHandleCount(), 0);
  EXPECT_EQ(device->GetCurrentDrive(), 1) << "the last drive identified";
}

TEST(EnumerationSelection, RecordAccessAndSelectionOutsideTheTable) {
  Machine m;
  m.AddDrive("ALPHA");
  m.AddDrive("BRAVO");
  auto device = m.Build(0);
  ASSERT_EQ(device->GetDriveCount(), 2);

  EXPECT_EQ(device->GetDriveRecord(2), nullptr);
  EXPECT_EQ(device->GetDriveRecord(UINT32_MAX), nullptr);
  ASSERT_TRUE(device->SelectDrive(0));
  const DeviceHandle handle = device->GetDeviceHandle();
  for (const int16_t slot : std::initializer_list<int16_t>{2, 15, 16, -1, INT16_MAX}) {
    EXPECT_FALSE(device->SelectDrive(slot)) << slot;
    EXPECT_EQ(device->GetCurrentDrive(), 0);
    EXPECT_EQ(device->GetDeviceHandle(), handle);
    EXPECT_FALSE(device->IsDrivePresent(slot));
  }
}

TEST(EnumerationSelection, SecondSelectionClosesTheFirstHandleBeforeOpening) {
  Machine m;
  m.AddDrive("ALPHA");
  m.AddDrive("BRAVO");
  auto device = m.Build(0);
  m.platform.ClearDeviceEvents();

  ASSERT_TRUE(device->SelectDrive(0));
  const DeviceHandle first = device->GetDeviceHandle();
  ASSERT_TRUE(device->SelectDrive(1));

  using Kind = emu::DeviceEvent::Kind;
  const auto& events = m.platform.DeviceEvents();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].kind, Kind::Open);
  EXPECT_EQ(events[0].root, "sr0");
  EXPECT_EQ(events[1].kind, Kind::Close);
  EXPECT_EQ(events[1].handle, first);
  EXPECT_EQ(events[2].kind, Kind::Open);
  EXPECT_EQ(events[2].root, "sr1");
  EXPECT_EQ(m.platform.OpenHandleCount(), 1);
}

TEST(EnumerationAddress, GetScsiAddressOutcomes) {
  Machine m;
  m.platform.SetScsiAddress(m.AddDrive("FOUND"), 3, 1, 5, 2);
  m.platform.SetScsiAddressOutcome(m.AddDrive("ZERO"), AddressOutcome::LengthZero);
  m.platform.SetScsiAddressOutcome(m.AddDrive("FAILED"), AddressOutcome::CallFailed);
  m.platform.SetOpenFails(m.AddDrive("NO-OPEN"), true);
  auto device = m.Build(0);
  m.platform.ClearDeviceEvents();

  struct Case {
    const char* root;
    bool found;
    int16_t port, pathId, target, lun;
  };
  const Case cases[] = {{"sr0", true, 3, 1, 5, 2},
                        {"sr1", false, 9, 9, 9, 9},
                        {"sr2", true, -1, -1, -1, -1},
                        {"sr3", false, 9, 9, 9, 9},
                        {"sr9", false, 9, 9, 9, 9}};
  for (const Case& c : cases) {
    int16_t port = 9, pathId = 9, target = 9, lun = 9;
    EXPECT_EQ(device->GetScsiAddress(c.root, port, pathId, target, lun), c.found) << c.root;
    EXPECT_EQ(port, c.port) << c.root;
    EXPECT_EQ(pathId, c.pathId) << c.root;
    EXPECT_EQ(target, c.target) << c.root;
    EXPECT_EQ(lun, c.lun) << c.root;
  }
  int16_t unused = 0;
  EXPECT_FALSE(device->GetScsiAddress(nullptr, unused, unused, unused, unused));
  EXPECT_EQ(m.platform.OpenHandleCount(), 0) << "every handle opened for an address is closed";
}

}  // namespace
}  // namespace kv
