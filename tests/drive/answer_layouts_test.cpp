// The emulated drive's built answers read back through the device at the offsets of the layout
// headers, at the edges where the builder and the queries could part: one-byte length fields at
// their limit, answers without descriptors, descriptors beyond the allocation length.
#include <algorithm>
#include <string>

#include "drive/capabilities_page_answer.h"
#include "drive/configuration_answer.h"
#include "drive/format_capacities_answer.h"
#include "drive/mmc.h"
#include "drive/performance_answer.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

constexpr uint32_t kLargeAllocation = 1024;

class AnswerLayoutTest : public ::testing::Test {
 protected:
  void Load(const std::string& json) {
    std::string error;
    auto profile = emu::ParseProfileText(json, "test", error);
    ASSERT_TRUE(profile) << error;
    device.reset();  // before the machine it talks to
    machine = std::make_unique<emu::EmulatedPlatform>();
    machine->AddDrive(*profile);
    SetApplicationTag(0);
    device = std::make_unique<AtapiDevice>(*machine, notifier);
    ASSERT_TRUE(device->SelectDrive(0));
  }
  uint32_t Transferred() const { return device->LastCommand().Transferred; }

  std::unique_ptr<emu::EmulatedPlatform> machine;
  SilentNotifier notifier;
  std::unique_ptr<AtapiDevice> device;
};

std::string WriteSpeeds(uint32_t count) {
  std::string list;
  for (uint32_t i = 0; i < count; ++i) {
    list += (i ? ", " : "") +
            std::string(R"({"endLba": 2295103, "readSpeed": 11080, "writeSpeed": )") +
            std::to_string(1000 + i) + "}";
  }
  return "[" + list + "]";
}

TEST_F(AnswerLayoutTest, CapabilitiesPageLengthsHoldUpToTheDescriptorLimit) {
  using namespace capabilities_page;
  for (const uint32_t speeds : {0u, 1u, kMaxDescriptors, kMaxDescriptors + 1, 60u}) {
    SCOPED_TRACE(speeds);
    Load(R"({"drive": {"writeSpeeds": )" + WriteSpeeds(speeds) + R"(}, "disc": {"kind": "CD-R"}})");
    ASSERT_EQ(device->ModeSense10(0, 0, mmc::kPageCapabilities, kLargeAllocation, 0), 1);
    const uint32_t fitting = std::min(speeds, kMaxDescriptors);
    EXPECT_EQ(Transferred(), DescriptorOffset(fitting));
    EXPECT_EQ(device->ReadDataBE16(kModeDataLength), Transferred() - 2);
    EXPECT_EQ(device->ReadDataByte(kPageCodeByte), mmc::kPageCapabilities);
    EXPECT_EQ(device->ReadDataByte(kPageLengthByte), Transferred() - kPageLengthByte - 1);
    EXPECT_EQ(device->ReadDataBE16(kDescriptorCount), fitting);
    if (fitting > 0) {
      EXPECT_EQ(device->ReadDataBE16(DescriptorOffset(fitting - 1) + kDescriptorWriteSpeed),
                1000 + fitting - 1);
    }
    EXPECT_NE(device->ReadDataByte(kWriteCapabilityByte) & kCdrWriteBit, 0);
  }
}

TEST_F(AnswerLayoutTest, ProfileListAloneIsReadWhereTheDriveQueryLooks) {
  using namespace configuration;
  // DVD-R first and current, DVD+R last: a list cut short or read off by one descriptor loses
  // one of them.
  for (const uint32_t profiles : {1u, 2u, kMaxProfiles}) {
    SCOPED_TRACE(profiles);
    std::string list = R"(["0x11")";
    for (uint32_t i = 1; i < profiles; ++i) {
      list += i + 1 == profiles ? R"(, "0x1B")" : R"(, "0x09")";
    }
    Load(R"({"drive": {"profiles": )" + list + R"(]}, "disc": {"kind": "DVD-R"}})");
    ASSERT_EQ(device->GetConfiguration(mmc::kConfigOneFeature, mmc::kFeatureProfileList,
                                       kLargeAllocation, 0),
              1);
    EXPECT_EQ(device->ReadDataBE32(kDataLength), Transferred() - kDataLengthSize);
    EXPECT_EQ(device->ReadDataBE16(kCurrentProfileOffset), 0x0011);
    EXPECT_EQ(device->ReadDataByte(kProfileListAdditionalLength),
              profiles * kProfileDescriptorSize);
    EXPECT_EQ(Transferred(), kFirstProfileLowByte - 1 + profiles * kProfileDescriptorSize);
    const uint32_t last = kFirstProfileLowByte + (profiles - 1) * kProfileDescriptorSize;
    EXPECT_EQ(device->ReadDataByte(last), profiles == 1 ? 0x11 : 0x1B);
    EXPECT_EQ(
        device->ReadDataByte(kFirstProfileLowByte - 1 + kProfileCurrentByte) & kProfileCurrentBit,
        kProfileCurrentBit);
  }
}

TEST_F(AnswerLayoutTest, PerformanceHeaderAloneGivesNoSpeedWhateverTheBufferHeld) {
  using namespace performance;
  // A capabilities page leaves non-zero bytes where a first descriptor's speeds would be.
  Load(R"({"drive": {"writeSpeeds": []}, "disc": {"kind": "DVD+R"}})");
  ASSERT_EQ(device->ModeSense10(0, 0, mmc::kPageCapabilities, kLargeAllocation, 0), 1);
  ASSERT_NE(device->ReadDataBE32(kFirstWriteSpeed), 0u);
  EXPECT_EQ(device->QueryMaxWriteSpeed(), 0.0);
  EXPECT_EQ(Transferred(), kHeaderSize);
  EXPECT_EQ(device->ReadDataBE32(kDataLength), kHeaderSize - kDataLengthSize);
  EXPECT_FALSE(device->SetMaximumStreaming());

  Load(R"({"drive": {"writeSpeeds": )" + WriteSpeeds(3) + R"(}, "disc": {"kind": "DVD+R"}})");
  EXPECT_EQ(device->QueryMaxWriteSpeed(), 1000.0);
  EXPECT_EQ(device->ReadDataBE32(kDataLength), DescriptorOffset(3) - kDataLengthSize);
  EXPECT_EQ(device->ReadDataBE32(DescriptorOffset(2) + kWriteSpeed), 1002u);
  EXPECT_EQ(device->ReadDataBE32(DescriptorOffset(2) + kEndLba), 2295103u);
}

TEST_F(AnswerLayoutTest, FormatCapacityBeyondTheAllocationIsNotPicked) {
  using namespace format_capacities;
  // The capacity query asks for 96 bytes: descriptors 0-10. A full format (10h) at descriptor 10
  // is picked; at 11 it never arrives and descriptor 0 stands.
  struct Case {
    uint32_t fullFormatAt;
    uint32_t expected;
  };
  for (const Case c : {Case{1, 999}, Case{10, 999}, Case{11, 5}, Case{kMaxDescriptors - 1, 5}}) {
    SCOPED_TRACE(c.fullFormatAt);
    std::string list = R"([{"blocks": 5, "descriptorType": 2})";
    for (uint32_t k = 1; k < kMaxDescriptors; ++k) {
      list += k == c.fullFormatAt ? R"(, {"blocks": 999, "formatType": "0x10"})"
                                  : R"(, {"blocks": 7, "formatType": "0x01"})";
    }
    Load(R"({"disc": {"kind": "DVD+RW", "formatCapacities": )" + list + "]}}");
    EXPECT_EQ(device->QueryCapacityBlocks(), c.expected);
    EXPECT_EQ(device->ReadDataByte(kCapacityListLength), kMaxDescriptors * kDescriptorSize);
  }
}

}  // namespace
}  // namespace kv::test
