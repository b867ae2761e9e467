// Transport choice at construction, drive selection and the drive table accessors.
#include <limits>

#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

struct TransportCase {
  const char* name;
  int32_t tag;
  bool nt;
  bool aspiWorks;
  bool usesAspi;
  bool available;
  int loads;  // the probe, plus the load when the manager is chosen
};

void PrintTo(const TransportCase& c, std::ostream* os) {
  *os << c.name;
}

const TransportCase kTransportCases[] = {
    {"NtTagUnsetPassThrough", 0, true, true, false, true, 1},
    {"NtTagSetManagerWorks", 32767, true, true, true, true, 2},
    {"NtTagSetManagerMissing", 32767, true, false, false, false, 1},
    {"NtTagOffByOne", 32766, true, true, false, true, 1},
    {"NotNtAlwaysManager", 0, false, true, true, true, 2},
    {"NotNtManagerMissingStillChosen", 0, false, false, true, false, 2},
};

class TransportChoiceTest : public DeviceTest, public ::testing::WithParamInterface<TransportCase> {
 protected:
  void SetUp() override {}
  void TearDown() override { SetApplicationTag(0); }
};

TEST_P(TransportChoiceTest, ChoosesTransport) {
  const TransportCase& c = GetParam();
  platform.nt = c.nt;
  platform.aspiWorks = c.aspiWorks;
  SetApplicationTag(c.tag);
  device = std::make_unique<AtapiDevice>(platform, notifier);
  EXPECT_EQ(device->UsesAspi(), c.usesAspi);
  EXPECT_EQ(device->IsAspiAvailable(), c.available);
  EXPECT_EQ(device->IsAspiLoaded(), c.usesAspi && c.aspiWorks);
  EXPECT_EQ(platform.aspiLoads, c.loads);
  // Construction leaves no drive addressed.
  EXPECT_EQ(device->GetDeviceHandle(), kInvalidHandle);
  EXPECT_EQ(device->GetCurrentAddress().HostAdapter, -1);
  EXPECT_EQ(device->GetCurrentAddress().Target, -1);
  EXPECT_EQ(device->GetCurrentDrive(), -1);
}

INSTANTIATE_TEST_SUITE_P(Systems, TransportChoiceTest, ::testing::ValuesIn(kTransportCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Two pass-through drives, D: and E:, each answering INQUIRY and the capabilities page.
class SelectionTest : public DeviceTest {
 protected:
  static constexpr DeviceHandle kD = 21;
  static constexpr DeviceHandle kE = 22;

  void SetUp() override {
    platform.roots = {"C:\\", "D:\\", "E:\\"};
    platform.cdromRoots = {"D:\\", "E:\\"};
    platform.openable = {{"D:\\", kD}, {"E:\\", kE}};
    platform.addresses = {{kD, ScsiAddressResult{ScsiAddressResult::Outcome::Found, 1, 0, 0, 0}},
                          {kE, ScsiAddressResult{ScsiAddressResult::Outcome::Found, 1, 0, 1, 0}}};
    std::vector<uint8_t> inquiry = Bytes(96, {{0, 5}});
    const char* ids = "VENDOR01PRODUCT-NAME-16!REV1";
    std::copy(ids, ids + 28, inquiry.begin() + 8);
    platform.On(0x12, Good(inquiry));
    platform.On(0x5A, Good(Bytes(42, {{11, 0x03}})));  // CD-RW writer
    Build(false);
    if (device->GetDriveCount() != 2) {
      GTEST_SKIP() << "enumeration found " << device->GetDriveCount() << " drives";
    }
    platform.nodeEvents.clear();
    platform.closed.clear();
  }
};

TEST_F(SelectionTest, SelectOpensTheNodeAndTakesTheSlotsAddressAndTexts) {
  ASSERT_TRUE(device->SelectDrive(1));
  EXPECT_EQ(device->GetDeviceHandle(), kE);
  EXPECT_EQ(device->GetCurrentDrive(), 1);
  EXPECT_EQ(device->GetCurrentAddress().HostAdapter, 1);
  EXPECT_EQ(device->GetCurrentAddress().Target, 1);
  EXPECT_EQ(device->GetCurrentDriveType(), DriveType::kCdRw);
  EXPECT_STREQ(device->GetVendor(), "VENDOR01");
  EXPECT_STREQ(device->GetRevision(), "REV1");
  EXPECT_EQ(platform.nodeEvents, std::vector<std::string>{"open E:\\"});
}

TEST_F(SelectionTest, SecondSelectionClosesTheFirstHandleBeforeOpening) {
  ASSERT_TRUE(device->SelectDrive(0));
  ASSERT_TRUE(device->SelectDrive(1));
  EXPECT_EQ(platform.nodeEvents, (std::vector<std::string>{"open D:\\", "close 21", "open E:\\"}));
  device.reset();
  EXPECT_EQ(platform.closed.back(), kE) << "destruction closes the open handle";
}

TEST_F(SelectionTest, MissingSlotChangesNothing) {
  ASSERT_TRUE(device->SelectDrive(0));
  for (int16_t index : {int16_t{2}, int16_t{15}, int16_t{16}, int16_t{-1},
                        std::numeric_limits<int16_t>::max(), std::numeric_limits<int16_t>::min()}) {
    EXPECT_FALSE(device->SelectDrive(index)) << index;
    EXPECT_FALSE(device->IsDrivePresent(index)) << index;
  }
  EXPECT_EQ(device->GetCurrentDrive(), 0);
  EXPECT_EQ(device->GetDeviceHandle(), kD);
  EXPECT_TRUE(platform.closed.empty());
}

TEST_F(SelectionTest, FailedOpenLeavesNoCurrentDrive) {
  ASSERT_TRUE(device->SelectDrive(0));
  platform.openable.erase("E:\\");
  EXPECT_FALSE(device->SelectDrive(1));
  EXPECT_EQ(device->GetCurrentDrive(), -1);
  EXPECT_EQ(device->GetCurrentDriveType(), DriveType::kUnknown);
  EXPECT_EQ(device->GetDeviceHandle(), kInvalidHandle);
  EXPECT_EQ(device->GetCurrentAddress().HostAdapter, -1);
  EXPECT_EQ(device->GetCurrentAddress().PathId, -1);
  // Commands now fail at once.
  platform.sent.clear();
  EXPECT_EQ(device->TestUnitReady(), 0);
  EXPECT_TRUE(platform.sent.empty());
}

TEST_F(SelectionTest, CloseDriveKeepsCurrentDriveAndType) {
  ASSERT_TRUE(device->SelectDrive(0));
  device->CloseDrive();
  EXPECT_EQ(platform.closed, std::vector<DeviceHandle>{kD});
  EXPECT_EQ(device->GetDeviceHandle(), kInvalidHandle);
  EXPECT_EQ(device->GetCurrentAddress().Lun, -1);
  EXPECT_EQ(device->GetCurrentDrive(), 0);
  EXPECT_EQ(device->GetCurrentDriveType(), DriveType::kCdRw);
  device->CloseDrive();
  EXPECT_EQ(platform.closed.size(), 1u) << "an invalid handle is not closed";
}

TEST_F(SelectionTest, DriveRecordsOnlyBelowTheCount) {
  EXPECT_NE(device->GetDriveRecord(0), nullptr);
  EXPECT_NE(device->GetDriveRecord(1), nullptr);
  for (uint32_t index : {2u, 15u, 16u, 1000u, std::numeric_limits<uint32_t>::max()}) {
    EXPECT_EQ(device->GetDriveRecord(index), nullptr) << index;
  }
}

}  // namespace
}  // namespace kv::test
