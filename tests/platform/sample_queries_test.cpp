// The device object's queries over every sample drive, through enumeration, selection and the
// pass-through transport of the emulated machine: what `krellvane --emulate` shows.
#include <gtest/gtest.h>

#include <cstring>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "emu_test_util.h"

namespace kv::emu::test {
namespace {

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override { ++count; }
  int count = 0;
};

struct SampleExpectation {
  const char* file;
  DriveType driveType;
  DiscType discType;
  uint32_t leadIn;  // only checked for CDs
  uint32_t leadOut;
  uint32_t capacity;
  uint32_t layers;          // 0: not a DVD
  const char* plusMediaId;  // nullptr: not checked
  const char* plusTypeId;
  const char* minusMediaId;
  double maxWriteSpeed;  // < 0: not checked
  uint32_t speedAfterSetCdSpeed;
};

constexpr SampleExpectation kSamples[] = {
    {"orvelix-dvdrw-blank-cdr.json", DriveType::kDvdDual, DiscType::kCdrAPlus, 972565, 795974,
     359849, 0, nullptr, nullptr, nullptr, 7056, 7056},
    {"orvelix-combo-cdrw.json", DriveType::kCombo, DiscType::kCdRwHighSpeed, 971236, 795971, 359846,
     0, nullptr, nullptr, nullptr, 1764, 1764},
    {"orvelix-dvdrw-dvdplusr.json", DriveType::kDvdDual, DiscType::kDvdPlusR, 0, 0, 2295104, 1,
     "RICOHJPN", "R03", nullptr, 11080, 8467},
    {"orvelix-dvdrw-dvdminusr.json", DriveType::kDvdDual, DiscType::kDvdMinusR, 0, 0, 2298496, 1,
     nullptr, nullptr, "MCC 01RG20  ", 11080, 8467},
    {"orvelix-dvdrw-dvdrom.json", DriveType::kDvdDual, DiscType::kDvdRom, 0, 0, 4173824, 2, nullptr,
     nullptr, nullptr, -1, 8467},
    {"orvelix-dvdrw-empty.json", DriveType::kDvdDual, DiscType::kNoMedia, 0, 0, 0, 0, nullptr,
     nullptr, nullptr, -1, 8467},
    {"orvelix-cdrom-reader.json", DriveType::kCdRom, DiscType::kCdRom, 0, 0, 0, 0, nullptr, nullptr,
     nullptr, 0, 0},
};

class SampleQueries : public ::testing::TestWithParam<SampleExpectation> {};

TEST_P(SampleQueries, GiveTheExpectedCodesAndFacts) {
  const SampleExpectation& e = GetParam();
  EmulatedPlatform machine;
  const DriveProfile profile = SampleProfile(e.file);
  ASSERT_EQ(profile.name.find("ERROR"), std::string::npos) << profile.name;
  machine.AddDrive(profile);
  SetApplicationTag(kApplicationTagPreferAspi);
  SilentNotifier notifier;
  AtapiDevice device(machine, notifier);
  EXPECT_EQ(notifier.count, 0);
  ASSERT_EQ(device.GetDriveCount(), 1);
  const DriveRecord* record = device.GetDriveRecord(0);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->DriveType, e.driveType);
  EXPECT_EQ(std::string(record->Vendor), "ORVELIX ");
  EXPECT_EQ(std::string(record->RootPath), "sr0");

  ASSERT_TRUE(device.SelectDrive(0));
  EXPECT_EQ(device.QueryDriveType(), e.driveType);
  EXPECT_EQ(device.QueryDiscType(), e.discType);
  if (IsCdRecordable(e.discType) || IsCdRewritable(e.discType)) {
    EXPECT_EQ(device.QueryAtipTime(AtipTime::kLeadIn), e.leadIn);
    EXPECT_EQ(device.QueryAtipTime(AtipTime::kLeadOut), e.leadOut);
  }
  if (e.discType != DiscType::kNoMedia) {
    EXPECT_EQ(device.QueryCapacityBlocks(), e.capacity);
  }
  if (e.layers > 0) {
    EXPECT_EQ(device.QueryLayerCount(), e.layers);
  }
  char id[32];
  if (e.plusMediaId) {
    EXPECT_STREQ(device.ReadDvdPlusMediaId(id), e.plusMediaId);
    EXPECT_STREQ(device.ReadDvdPlusTypeId(id), e.plusTypeId);
  }
  if (e.minusMediaId) {
    EXPECT_STREQ(device.ReadDvdMinusMediaId(id), e.minusMediaId);
  }
  if (e.maxWriteSpeed >= 0) {
    EXPECT_EQ(device.QueryMaxWriteSpeed(), e.maxWriteSpeed);
  }
  device.SetCdSpeed(0, 0xFFFF, 0xFFFF, 0);
  EXPECT_EQ(device.QueryCurrentWriteSpeed(), e.speedAfterSetCdSpeed);
  // Every command went through pass-through to the one drive.
  ASSERT_FALSE(machine.CdbLog().empty());
  for (const CdbLogEntry& entry : machine.CdbLog()) {
    EXPECT_EQ(entry.path, CommandPath::PassThrough);
    EXPECT_EQ(entry.drive, 0);
  }
  EXPECT_EQ(machine.TotalSleepMilliseconds(), 0u);  // every sample drive is ready at once
}

INSTANTIATE_TEST_SUITE_P(AllSamples, SampleQueries, ::testing::ValuesIn(kSamples),
                         [](const auto& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.size() - 5);
                           for (char& c : name) {
                             if (c == '-') {
                               c = '_';
                             }
                           }
                           return name;
                         });

TEST(SampleQueries, DvdStreamingIsAskedAtTheFirstWriteSpeed) {
  EmulatedPlatform machine;
  machine.AddDrive(SampleProfile("orvelix-dvdrw-dvdplusr.json"));
  SilentNotifier notifier;
  AtapiDevice device(machine, notifier);
  ASSERT_TRUE(device.SelectDrive(0));
  ASSERT_TRUE(device.SetMaximumStreaming());
  const auto& requests = machine.Drive(0).StreamingRequests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].endLba, 2295103u);
  EXPECT_EQ(requests[0].readSizeKb, 11080u);
  EXPECT_EQ(requests[0].writeSizeKb, 11080u);
  EXPECT_EQ(requests[0].writeTimeMs, 1000u);
}

TEST(SampleQueries, DriveBecomingReadyIsWaitedForOnTheEmulatedClock) {
  EmulatedPlatform machine;
  machine.AddDrive(SampleProfile("orvelix-dvdrw-dvdplusr.json"));
  SilentNotifier notifier;
  AtapiDevice device(machine, notifier);
  ASSERT_TRUE(device.SelectDrive(0));
  machine.Drive(0).SetBecomingReady(4, 1);
  const uint64_t sleptBefore = machine.TotalSleepMilliseconds();
  EXPECT_TRUE(device.WaitUntilReady(60));
  // One unit attention and four not-ready answers, each followed by a 300 ms sleep.
  EXPECT_EQ(machine.TotalSleepMilliseconds() - sleptBefore, 5u * 300u);
  EXPECT_EQ(device.QueryDiscType(), DiscType::kDvdPlusR);
}

}  // namespace
}  // namespace kv::emu::test
