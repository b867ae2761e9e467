// The emulated machine: drive roots, handles, SCSI addresses, pass-through, the ASPI-style
// manager, the virtual clock and the logs.
#include <gtest/gtest.h>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

DriveProfile Disc(const char* kind) {
  return ProfileFromJson(std::string(R"({"disc": {"kind": ")") + kind + "\"}}");
}

ScsiRequest InRequest(const Cdb& cdb, std::vector<uint8_t>& buffer) {
  ScsiRequest r;
  r.cdb = cdb;
  r.direction = kDirectionIn;
  r.buffer = buffer.data();
  r.length = static_cast<uint32_t>(buffer.size());
  return r;
}

TEST(EmulatedRoots, ListInOrderWithExtraRootsAndOutcomes) {
  EmulatedPlatform m;
  m.AddExtraRoot("C:\\");
  m.AddDrive(Disc("CD-R"));
  m.AddDrive(Disc("none"));
  m.SetRoot(1, "E:\\");
  m.AddExtraRoot("F:\\", true);  // a CD-ROM root without a drive behind it
  m.AddDrive(Disc("none"));
  m.SetListedAsRoot(2, false);
  DriveRootList list = m.ListDriveRoots();
  EXPECT_EQ(list.outcome, DriveRootList::Outcome::Ok);
  EXPECT_EQ(list.roots, (std::vector<std::string>{"C:\\", "sr0", "E:\\", "F:\\"}));
  EXPECT_FALSE(m.IsCdromRoot("C:\\"));
  EXPECT_TRUE(m.IsCdromRoot("sr0"));
  EXPECT_TRUE(m.IsCdromRoot("F:\\"));
  EXPECT_FALSE(m.IsCdromRoot("Z:\\"));
  m.SetCdromRoot(0, false);
  EXPECT_FALSE(m.IsCdromRoot("sr0"));
  EXPECT_EQ(m.OpenDevice("F:\\"), kInvalidHandle);
  EXPECT_EQ(m.OpenDevice("C:\\"), kInvalidHandle);

  for (auto outcome : {DriveRootList::Outcome::Empty, DriveRootList::Outcome::AllocationFailed}) {
    m.SetRootListOutcome(outcome);
    list = m.ListDriveRoots();
    EXPECT_EQ(list.outcome, outcome);
    EXPECT_TRUE(list.roots.empty());
  }
  EXPECT_EQ(EmulatedPlatform().ListDriveRoots().outcome, DriveRootList::Outcome::Empty);
}

TEST(EmulatedHandles, OpenCloseAndTheEventLog) {
  EmulatedPlatform m;
  m.AddDrive(Disc("CD-R"));
  m.AddDrive(Disc("CD-R"));
  m.SetOpenFails(1, true);
  const DeviceHandle h = m.OpenDevice("sr0");
  ASSERT_NE(h, kInvalidHandle);
  const DeviceHandle h2 = m.OpenDevice("sr0");
  EXPECT_NE(h2, h);  // every open is a handle of its own
  EXPECT_EQ(m.OpenDevice("sr1"), kInvalidHandle);
  EXPECT_EQ(m.OpenHandleCount(), 2);
  m.CloseDevice(h);
  m.CloseDevice(h);  // twice: the second is a close of an unknown handle
  m.CloseDevice(h2);
  EXPECT_EQ(m.OpenHandleCount(), 0);
  using K = DeviceEvent::Kind;
  std::vector<K> kinds;
  for (const DeviceEvent& e : m.DeviceEvents()) {
    kinds.push_back(e.kind);
  }
  EXPECT_EQ(kinds,
            (std::vector<K>{K::Open, K::Open, K::OpenFailed, K::Close, K::CloseUnknown, K::Close}));
  EXPECT_EQ(m.DeviceEvents()[2].root, "sr1");
  // A closed handle carries no more commands.
  std::vector<uint8_t> buffer(96, 0);
  const PassThroughResult r = m.PassThrough(h, InRequest(MakeCdb({0x12, 0, 0, 0, 96}), buffer));
  EXPECT_FALSE(r.callSucceeded);
  EXPECT_NE(r.osError, 0);
  EXPECT_TRUE(m.CdbLog().empty());
  EXPECT_EQ(m.GetScsiAddress(h).outcome, ScsiAddressResult::Outcome::CallFailed);
}

TEST(EmulatedAddresses, DefaultsSetAddressesAndFailures) {
  EmulatedPlatform m;
  m.AddDrive(Disc("none"));
  m.AddDrive(Disc("none"));
  m.AddDrive(Disc("none"));
  m.SetScsiAddress(1, 3, 1, 5, 2);
  m.SetScsiAddressOutcome(2, ScsiAddressResult::Outcome::LengthZero);
  const ScsiAddressResult a0 = m.GetScsiAddress(m.OpenDevice("sr0"));
  EXPECT_EQ(a0.outcome, ScsiAddressResult::Outcome::Found);
  EXPECT_EQ(a0.target, 0);
  const ScsiAddressResult a1 = m.GetScsiAddress(m.OpenDevice("sr1"));
  EXPECT_EQ(a1.outcome, ScsiAddressResult::Outcome::Found);
  EXPECT_EQ(a1.port, 3);
  EXPECT_EQ(a1.pathId, 1);
  EXPECT_EQ(a1.target, 5);
  EXPECT_EQ(a1.lun, 2);
  EXPECT_EQ(m.GetScsiAddress(m.OpenDevice("sr2")).outcome, ScsiAddressResult::Outcome::LengthZero);
  m.SetScsiAddressOutcome(2, ScsiAddressResult::Outcome::CallFailed);
  EXPECT_EQ(m.GetScsiAddress(m.OpenDevice("sr2")).outcome, ScsiAddressResult::Outcome::CallFailed);
}

TEST(EmulatedPassThrough, SenseIsFixedFormatAndTheLogRecordsEveryCommand) {
  EmulatedPlatform m;
  m.AddDrive(Disc("none"));
  const DeviceHandle h = m.OpenDevice("sr0");
  std::vector<uint8_t> buffer(24, 0);
  const PassThroughResult r =
      m.PassThrough(h, InRequest(MakeCdb({0x43, 0, 4, 0, 0, 0, 0, 0, 24}), buffer));
  EXPECT_TRUE(r.callSucceeded);
  EXPECT_EQ(r.transferred, 0u);
  EXPECT_EQ(r.senseLength, 18);
  EXPECT_EQ(r.sense[0], 0x70);
  EXPECT_EQ(r.sense[2], 0x02);
  EXPECT_EQ(r.sense[7], 10);
  EXPECT_EQ(r.sense[12], 0x3A);
  EXPECT_EQ(r.sense[13], 0x00);

  Fault transport;
  transport.transportFailure = true;
  m.Drive(0).MutableProfile().faults["12"].push_back(transport);
  std::vector<uint8_t> inquiry(96, 0);
  const PassThroughResult failed =
      m.PassThrough(h, InRequest(MakeCdb({0x12, 0, 0, 0, 96}), inquiry));
  EXPECT_FALSE(failed.callSucceeded);
  EXPECT_EQ(failed.senseLength, 0);

  ASSERT_EQ(m.CdbLog().size(), 2u);
  const CdbLogEntry& first = m.CdbLog()[0];
  EXPECT_EQ(first.cdb[0], 0x43);
  EXPECT_EQ(first.direction, kDirectionIn);
  EXPECT_EQ(first.length, 24u);
  EXPECT_EQ(first.path, CommandPath::PassThrough);
  EXPECT_EQ(first.drive, 0);
  EXPECT_EQ(first.response.sense, kSenseMediumNotPresent);
  EXPECT_EQ(m.CdbLog()[1].response.outcome, DriveResponse::Outcome::TransportFailure);
  m.ClearCdbLog();
  EXPECT_TRUE(m.CdbLog().empty());
}

TEST(EmulatedClock, SleepAndLatencyAdvanceVirtualTime) {
  EmulatedPlatform m;
  m.AddDrive(ProfileFromJson(R"({"faults": {"12": {"latencyMs": 1500}}})"));
  EXPECT_EQ(m.CounterFrequency(), 1'000'000);
  const int64_t t0 = m.CounterNow();
  EXPECT_NE(t0, 0);               // 0 would read as "timer not running"
  EXPECT_EQ(m.CounterNow(), t0);  // time stands still between events
  m.SleepMilliseconds(300);
  m.SleepMilliseconds(300);
  EXPECT_EQ(m.CounterNow() - t0, 600'000);
  EXPECT_EQ(m.TotalSleepMilliseconds(), 600u);
  EXPECT_EQ(m.SleepCount(), 2u);
  std::vector<uint8_t> buffer(96, 0);
  m.PassThrough(m.OpenDevice("sr0"), InRequest(MakeCdb({0x12, 0, 0, 0, 96}), buffer));
  EXPECT_EQ(m.CounterNow() - t0, 2'100'000);
  EXPECT_EQ(m.TotalSleepMilliseconds(), 600u);  // latency is not sleep
  m.SetCounterFrequency(1000);
  EXPECT_EQ(m.CounterNow(), (t0 + 2'100'000) / 1000);
  m.SetCounterFrequency(0);  // a machine without a counter
  EXPECT_EQ(m.CounterFrequency(), 0);
  EXPECT_EQ(m.CounterNow(), 0);
}

TEST(EmulatedAspi, LoadOutcomes) {
  using O = AspiLoadResult::Outcome;
  for (O outcome : {O::ModuleNotFound, O::NoSupportInfoEntry, O::NoSendCommandEntry, O::Loaded}) {
    EmulatedPlatform m;
    m.SetAspiLoadOutcome(outcome);
    AspiLoadResult r = m.LoadAspi();
    EXPECT_EQ(r.outcome, outcome);
    EXPECT_EQ(r.manager != nullptr, outcome == O::Loaded);
    EXPECT_EQ(m.LiveAspiManagers(), outcome == O::Loaded ? 1 : 0);
    r.manager.reset();
    EXPECT_EQ(m.LiveAspiManagers(), 0);
    EXPECT_EQ(m.AspiLoadCount(), 1u);
  }
}

TEST(EmulatedAspi, SupportInfoHaInquiryAndDeviceTypes) {
  EmulatedPlatform m;
  m.SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
  for (uint8_t status : {kSsComp, kSsOldManager, kSsIllegalMode, kSsNoAspi, uint8_t{0x55}}) {
    m.SetAspiSupportInfo(status, 2);
    EXPECT_EQ(m.LoadAspi().manager->GetSupportInfo(), (uint32_t{status} << 8) | 2u);
  }
  m.SetAspiSupportInfo(kSsComp, 2);
  m.AddDrive(Disc("CD-R"));
  m.AddDrive(Disc("none"));
  m.SetAspiAddress(1, 1, 3, 1);
  m.Aspi().extraDevices.push_back({0, 6, 0, 0});  // a disk
  m.SetHaInquiryStatus(1, kSsNoAspi);
  auto manager = m.LoadAspi().manager;
  EXPECT_EQ(manager->HaInquiry(0).srbStatus, kSsComp);
  EXPECT_EQ(manager->HaInquiry(0).haCount, 2);
  EXPECT_EQ(manager->HaInquiry(1).srbStatus, kSsNoAspi);
  EXPECT_EQ(manager->HaInquiry(2).srbStatus, kSsInvalidHa);
  struct Case {
    uint8_t ha, target, lun;
    uint8_t status, type;
  };
  const Case cases[] = {
      {0, 0, 0, kSsComp, 5},     {1, 3, 1, kSsComp, 5},      {0, 6, 0, kSsComp, 0},
      {0, 1, 0, kSsNoDevice, 0}, {2, 0, 0, kSsInvalidHa, 0},
  };
  for (const Case& c : cases) {
    const AspiDeviceType t = manager->GetDeviceType(c.ha, c.target, c.lun);
    EXPECT_EQ(t.srbStatus, c.status) << int(c.ha) << "/" << int(c.target) << "/" << int(c.lun);
    if (c.status == kSsComp) {
      EXPECT_EQ(t.deviceType, c.type);
    }
  }
  m.SetAspiVisible(0, false);
  EXPECT_EQ(manager->GetDeviceType(0, 0, 0).srbStatus, kSsNoDevice);
}

TEST(EmulatedAspi, ExecuteReportsStatusAndSenseArea) {
  EmulatedPlatform m;
  m.SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
  m.AddDrive(Disc("none"));
  auto manager = m.LoadAspi().manager;
  std::vector<uint8_t> buffer(96, 0);
  AspiExecResult r = manager->Execute(0, 0, 0, InRequest(MakeCdb({0x12, 0, 0, 0, 96}), buffer));
  EXPECT_EQ(r.srbStatus, kSsComp);
  EXPECT_EQ(buffer[8], 'O');
  r = manager->Execute(0, 0, 0, InRequest(MakeCdb({0x51, 0, 0, 0, 0, 0, 0, 1, 0}), buffer));
  EXPECT_EQ(r.srbStatus, kSsErr);
  EXPECT_EQ(r.senseArea[2], 0x02);
  EXPECT_EQ(r.senseArea[12], 0x3A);
  EXPECT_EQ(manager->Execute(0, 9, 0, InRequest(MakeCdb({0x00}), buffer)).srbStatus, kSsNoDevice);
  ASSERT_EQ(m.CdbLog().size(), 2u);
  EXPECT_EQ(m.CdbLog()[0].path, CommandPath::Aspi);
}

class CountingNotifier : public Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    messages.push_back(caption + "|" + text);
  }
  std::vector<std::string> messages;
};

TEST(EmulatedMachine, DeviceFindsAspiDrivesWithAWorkingManager) {
  EmulatedPlatform m;
  m.SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
  m.SetNtFamily(false);  // 95/98/ME: always ASPI
  m.AddDrive(SampleProfile("orvelix-dvdrw-blank-cdr.json"));
  m.AddDrive(SampleProfile("orvelix-cdrom-reader.json"));
  CountingNotifier notifier;
  SetApplicationTag(kApplicationTagPreferAspi);
  AtapiDevice device(m, notifier);
  EXPECT_TRUE(notifier.messages.empty());
  ASSERT_EQ(device.GetDriveCount(), 2);
  EXPECT_EQ(device.GetDriveRecord(0)->ViaAspi, 1);
  EXPECT_EQ(std::string(device.GetDriveRecord(0)->RootPath), "");
  EXPECT_EQ(device.GetDriveRecord(1)->DriveType, DriveType::kCdRom);
  for (const CdbLogEntry& e : m.CdbLog()) {
    EXPECT_EQ(e.path, CommandPath::Aspi);
  }
  EXPECT_EQ(m.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace kv::emu::test

namespace kv::emu::test {
namespace {

TEST(ProfileAttachment, PlacesTheDriveOnTheMachine) {
  EmulatedPlatform m;
  const char* const kProfiles[] = {
      R"({"attachment": {"root": "E:\\", "address": [2, 0, 1, 0], "aspi": [1, 4, 0]}})",
      R"({"attachment": {"address": "callFailed", "aspi": false}})",
      R"({"attachment": {"address": "lengthZero", "cdromRoot": false, "listedAsRoot": false}})",
      R"({"attachment": {"openFails": true}})",
  };
  for (const char* json : kProfiles) {
    std::string error;
    auto profile = ParseProfileText(json, "t", error);
    ASSERT_TRUE(profile) << error;
    const ProfileAttachment attachment = profile->attachment;
    ApplyAttachment(m, m.AddDrive(*profile), attachment);
  }
  EXPECT_EQ(m.ListDriveRoots().roots, (std::vector<std::string>{"E:\\", "sr1", "sr3"}));
  const ScsiAddressResult a0 = m.GetScsiAddress(m.OpenDevice("E:\\"));
  EXPECT_EQ(a0.outcome, ScsiAddressResult::Outcome::Found);
  EXPECT_EQ(a0.port, 2);
  EXPECT_EQ(a0.target, 1);
  EXPECT_EQ(m.GetScsiAddress(m.OpenDevice("sr1")).outcome, ScsiAddressResult::Outcome::CallFailed);
  EXPECT_EQ(m.GetScsiAddress(m.OpenDevice("sr2")).outcome, ScsiAddressResult::Outcome::LengthZero);
  EXPECT_FALSE(m.IsCdromRoot("sr2"));
  EXPECT_EQ(m.OpenDevice("sr3"), kInvalidHandle);
  m.SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
  m.SetAspiSupportInfo(kSsComp, 2);
  auto manager = m.LoadAspi().manager;
  EXPECT_EQ(manager->GetDeviceType(1, 4, 0).srbStatus, kSsComp);
  EXPECT_EQ(manager->GetDeviceType(0, 1, 0).srbStatus, kSsNoDevice);  // drive 1 hidden from ASPI

  for (const char* bad : {R"({"attachment": {"address": [1, 2, 3]}})",
                          R"({"attachment": {"aspi": true}})", R"({"attachment": {"root": ""}})"}) {
    std::string error;
    EXPECT_FALSE(ParseProfileText(bad, "t", error)) << bad;
    EXPECT_NE(error.find("attachment."), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace kv::emu::test
