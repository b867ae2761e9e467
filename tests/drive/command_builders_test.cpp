// Every CDB byte, the direction and the length of each of the twelve builders.
#include <algorithm>
#include <functional>

#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

struct BuilderCase {
  const char* name;
  std::function<uint8_t(AtapiDevice&)> call;
  Cdb cdb;
  uint8_t direction;
  uint32_t length;
};

void PrintTo(const BuilderCase& c, std::ostream* os) {
  *os << c.name;
}

const BuilderCase kBuilderCases[] = {
    {"TestUnitReady", [](AtapiDevice& d) { return d.TestUnitReady(); }, Cdb{}, kDirectionNone, 0},
    {"InquiryStandard", [](AtapiDevice& d) { return d.Inquiry(0, 0, 0, 96, 0); },
     Cdb{0x12, 0, 0, 0, 96, 0}, kDirectionIn, 96},
    {"InquiryBitsMaskedAndLengthInOneByte",
     [](AtapiDevice& d) { return d.Inquiry(0xFF, 0xFE, 0x83, 0x1FF, 0x44); },
     Cdb{0x12, 0x02, 0x83, 0, 0xFF, 0x44}, kDirectionIn, 0x1FF},
    {"ModeSenseCapabilities", [](AtapiDevice& d) { return d.ModeSense10(0, 0, 0x2A, 42, 0); },
     Cdb{0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 42, 0}, kDirectionIn, 42},
    {"ModeSensePageCodeMasked6AhTo2Ah",
     [](AtapiDevice& d) { return d.ModeSense10(3, 7, 0x6A, 0x12345, 9); },
     Cdb{0x5A, 0x08, 0xEA, 0, 0, 0, 0, 0x23, 0x45, 9}, kDirectionIn, 0x12345},
    {"GetConfigurationProfileList", [](AtapiDevice& d) { return d.GetConfiguration(2, 0, 248, 0); },
     Cdb{0x46, 0x02, 0, 0, 0, 0, 0, 0, 248, 0}, kDirectionIn, 248},
    {"GetConfigurationFieldsCutToWidth",
     [](AtapiDevice& d) { return d.GetConfiguration(0xFD, 0xABCDE, 0x10203, 7); },
     Cdb{0x46, 0x01, 0xBC, 0xDE, 0, 0, 0, 0x02, 0x03, 7}, kDirectionIn, 0x10203},
    {"GetPerformanceWriteSpeeds",
     [](AtapiDevice& d) { return d.GetPerformance(0, 0, 50, 3, 0, 1024); },
     Cdb{0xAC, 0, 0, 0, 0, 0, 0, 0, 0, 50, 3, 0}, kDirectionIn, 1024},
    {"GetPerformanceAllFields",
     [](AtapiDevice& d) { return d.GetPerformance(0xFF, 0x01020304, 0x3FFFF, 0x55, 0x66, 4096); },
     Cdb{0xAC, 0x1F, 1, 2, 3, 4, 0, 0, 0xFF, 0xFF, 0x55, 0x66}, kDirectionIn, 4096},
    {"ReadDiscInformation", [](AtapiDevice& d) { return d.ReadDiscInformation(0x1F4, 0x80); },
     Cdb{0x51, 0, 0, 0, 0, 0, 0, 0x01, 0xF4, 0x80}, kDirectionIn, 0x1F4},
    {"ReadDvdStructureAllFields",
     [](AtapiDevice& d) { return d.ReadDvdStructure(0xA1B2C3D4, 1, 0x0E, 0x10030, 0xFF, 0x11); },
     Cdb{0xAD, 0, 0xA1, 0xB2, 0xC3, 0xD4, 1, 0x0E, 0x00, 0x30, 0xC0, 0x11}, kDirectionIn, 0x10030},
    {"ReadDvdStructurePhysical",
     [](AtapiDevice& d) { return d.ReadDvdStructure(0, 0, 0, 16, 0, 0); },
     Cdb{0xAD, 0, 0, 0, 0, 0, 0, 0, 0, 16, 0, 0}, kDirectionIn, 16},
    {"ReadFormatCapacities", [](AtapiDevice& d) { return d.ReadFormatCapacities(96, 0); },
     Cdb{0x23, 0, 0, 0, 0, 0, 0, 0, 96, 0}, kDirectionIn, 96},
    {"ReadTocAtipWithMsf", [](AtapiDevice& d) { return d.ReadTocPmaAtip(1, 4, 0, 256, 0); },
     Cdb{0x43, 0x02, 0x04, 0, 0, 0, 0, 0x01, 0x00, 0}, kDirectionIn, 256},
    {"ReadTocMasks", [](AtapiDevice& d) { return d.ReadTocPmaAtip(0xFE, 0xF4, 0xAA, 24, 0xC0); },
     Cdb{0x43, 0x00, 0x04, 0, 0, 0, 0xAA, 0, 24, 0xC0}, kDirectionIn, 24},
    {"SetCdSpeedMaximum", [](AtapiDevice& d) { return d.SetCdSpeed(0, 0xFFFF, 0xFFFF, 0); },
     Cdb{0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF}, kDirectionNone, 0},
    {"SetCdSpeedCutToWidth",
     [](AtapiDevice& d) { return d.SetCdSpeed(0xFF, 0x12B0C, 0x1AC8, 0x21); },
     Cdb{0xBB, 0x03, 0x2B, 0x0C, 0x1A, 0xC8, 0, 0, 0, 0, 0, 0x21}, kDirectionNone, 0},
    {"SetStreaming", [](AtapiDevice& d) { return d.SetStreaming(28, 0); },
     Cdb{0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 0}, kDirectionOut, 28},
    {"SetStreamingLengthLowBits", [](AtapiDevice& d) { return d.SetStreaming(0x10104, 5); },
     Cdb{0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x04, 5}, kDirectionOut, 0x10104},
    {"VendorMediaId", [](AtapiDevice& d) { return d.ReadVendorMediaId(); },
     Cdb{0xDF, 0x00, 0x03, 0x01}, kDirectionIn, 12},
};

class BuilderTest : public DeviceTest, public ::testing::WithParamInterface<BuilderCase> {};

TEST_P(BuilderTest, PacksEveryByteDirectionAndLength) {
  const BuilderCase& c = GetParam();
  platform.On(c.cdb[0], Good());
  c.call(*device);
  ASSERT_EQ(platform.sent.size(), 1u);
  const ScsiRequest& r = Last().request;
  EXPECT_EQ(r.cdb, c.cdb);
  EXPECT_EQ(r.direction, c.direction);
  // A transfer through a buffer is never longer than the buffer; without one the length stays.
  const bool buffered = c.direction != kDirectionNone && c.length != 0;
  EXPECT_EQ(r.length, buffered ? std::min<uint32_t>(c.length, kBufferSize) : c.length);
  EXPECT_EQ(device->LastCommand().CdbBytes, c.cdb);
}

INSTANTIATE_TEST_SUITE_P(AllBuilders, BuilderTest, ::testing::ValuesIn(kBuilderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Builders return the transport's result unchanged and keep the sense for the two predicates.
TEST_F(DeviceTest, SensePredicatesAnswerForTheLastCommand) {
  platform.On(0x00, CheckCondition(0x02, 0x3A, 0x01));
  EXPECT_EQ(device->TestUnitReady(), 0);
  EXPECT_TRUE(device->LastSenseIs(0x02, 0x3A));
  EXPECT_FALSE(device->LastSenseIs(0x02, 0x04));
  EXPECT_FALSE(device->LastSenseIs(0x06, 0x3A));
  EXPECT_TRUE(device->LastSenseKeyIs(0x02));
  EXPECT_FALSE(device->LastSenseKeyIs(0x06));

  platform.On(0x00, Good());
  EXPECT_EQ(device->TestUnitReady(), 1);
  EXPECT_TRUE(device->LastSenseKeyIs(0));
  EXPECT_FALSE(device->LastSenseIs(0x02, 0x3A));
}

}  // namespace
}  // namespace kv::test
