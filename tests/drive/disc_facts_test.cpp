// ATIP times, layers, DVD identifiers, capacity and the speed queries.
#include <cstring>

#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

constexpr uint8_t kModeSense = 0x5A;
constexpr uint8_t kGetConfiguration = 0x46;
constexpr uint8_t kReadDvdStructure = 0xAD;
constexpr uint8_t kReadToc = 0x43;
constexpr uint8_t kReadDiscInfo = 0x51;
constexpr uint8_t kReadFormatCapacities = 0x23;
constexpr uint8_t kGetPerformance = 0xAC;
constexpr uint8_t kSetStreaming = 0xB6;
constexpr uint8_t kVendor = 0xDF;

const FakeAnswer kIllegal = CheckCondition(0x05, 0x24);

FakeAnswer AtipTimes(uint8_t byte4, uint8_t byte6, std::array<uint8_t, 3> in,
                     std::array<uint8_t, 3> out, uint8_t lengthLow = 22) {
  return Good(Bytes(26, {{1, lengthLow},
                         {4, byte4},
                         {6, byte6},
                         {8, in[0]},
                         {9, in[1]},
                         {10, in[2]},
                         {12, out[0]},
                         {13, out[1]},
                         {14, out[2]}}));
}

FakeAnswer DiscInfoTimes(std::array<uint8_t, 3> in, std::array<uint8_t, 3> out) {
  return Good(
      Bytes(34, {{17, in[0]}, {18, in[1]}, {19, in[2]}, {21, out[0]}, {22, out[1]}, {23, out[2]}}));
}

struct AtipCase {
  const char* name;
  std::optional<FakeAnswer> atip;
  std::optional<FakeAnswer> discInfo;
  uint32_t leadIn;
  uint32_t leadOut;
};

void PrintTo(const AtipCase& c, std::ostream* os) {
  *os << c.name;
}

const AtipCase kAtipCases[] = {
    {"FromAtip", AtipTimes(0x80, 0x80, {97, 26, 60}, {79, 59, 74}),
     DiscInfoTimes({1, 2, 3}, {4, 5, 6}), 972660, 795974},
    {"ZeroTimeIsZero", AtipTimes(0x80, 0x80, {0, 0, 0}, {0, 0, 5}), {}, 0, 5},
    {"HeaderOnlyFallsBack", AtipTimes(0x80, 0x80, {97, 26, 60}, {79, 59, 74}, 2),
     DiscInfoTimes({97, 24, 0}, {74, 30, 0}), 972400, 743000},
    {"HeaderOnlyAndNoDiscInfo", AtipTimes(0x80, 0x80, {97, 26, 60}, {79, 59, 74}, 2), {}, 0, 0},
    {"AtipFailsFallsBack", {}, DiscInfoTimes({97, 25, 65}, {79, 59, 74}), 972565, 795974},
    {"FixedBitsClearFallBack", AtipTimes(0x00, 0x80, {97, 26, 60}, {79, 59, 74}),
     DiscInfoTimes({0, 2, 0}, {60, 2, 0}), 200, 600200},
    {"Byte6FixedBitClearFallsBack", AtipTimes(0x80, 0x40, {97, 26, 60}, {79, 59, 74}), {}, 0, 0},
    {"NothingReadable", {}, {}, 0, 0},
};

class AtipTimeTest : public DeviceTest, public ::testing::WithParamInterface<AtipCase> {};

TEST_P(AtipTimeTest, ReturnsTimes) {
  const AtipCase& c = GetParam();
  platform.On(kReadToc, c.atip.value_or(kIllegal));
  platform.On(kReadDiscInfo, c.discInfo.value_or(kIllegal));
  EXPECT_EQ(device->QueryAtipTime(AtipTime::kLeadIn), c.leadIn);
  EXPECT_EQ(device->QueryAtipTime(AtipTime::kLeadOut), c.leadOut);
  const SentCommand& toc = platform.sent.front();
  EXPECT_EQ(toc.request.cdb[0], kReadToc);
  EXPECT_EQ(toc.request.cdb[1], 0x02) << "times are read with MSF";
  EXPECT_EQ(toc.request.length, 256u);
}

INSTANTIATE_TEST_SUITE_P(Answers, AtipTimeTest, ::testing::ValuesIn(kAtipCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceTest, LayerCountFromPhysicalFormatByte6) {
  const struct {
    uint8_t byte6;
    uint32_t layers;
  } kCases[] = {{0x00, 1}, {0x20, 2}, {0x61, 4}, {0x9F, 1}};
  for (const auto& c : kCases) {
    platform.On(kReadDvdStructure, Good(Bytes(36, {{6, c.byte6}})));
    EXPECT_EQ(device->QueryLayerCount(), c.layers) << int{c.byte6};
    EXPECT_EQ(Last().request.length, 36u);
  }
  platform.On(kReadDvdStructure, kIllegal);
  EXPECT_EQ(device->QueryLayerCount(), 0u);
}

// --- Capacity ---

struct Descriptor {
  uint32_t blocks;
  uint8_t typeByte;  // byte 4 of the descriptor
};

FakeAnswer Capacities(std::vector<Descriptor> list, std::optional<uint8_t> listLength = {}) {
  std::vector<uint8_t> data = Bytes(4);
  data[3] = listLength.value_or(static_cast<uint8_t>(list.size() * 8));
  for (const Descriptor& d : list) {
    data.insert(
        data.end(),
        {static_cast<uint8_t>(d.blocks >> 24), static_cast<uint8_t>(d.blocks >> 16),
         static_cast<uint8_t>(d.blocks >> 8), static_cast<uint8_t>(d.blocks), d.typeByte, 0, 8, 0});
  }
  return Good(data);
}

constexpr uint8_t Format(uint8_t type) {
  return static_cast<uint8_t>(type << 2);
}

struct CapacityCase {
  const char* name;
  std::optional<FakeAnswer> answer;
  uint32_t expected;
};

void PrintTo(const CapacityCase& c, std::ostream* os) {
  *os << c.name;
}

const CapacityCase kCapacityCases[] = {
    {"Failed", {}, 0},
    {"UnformattedMaximum", Capacities({{2295104, 0x01}, {1000, Format(0x10)}}), 2295104},
    {"FullFormatFirst", Capacities({{5, 0x02}, {2295104, Format(0x10)}, {2294922, Format(0x26)}}),
     2295104},
    {"FullFormatAfterBasic",
     Capacities({{5, 0x02}, {2294922, Format(0x26)}, {2295104, Format(0x10)}}), 2295104},
    {"SparingBeforeBasic",
     Capacities({{5, 0x02}, {2294922, Format(0x26)}, {2236704, Format(0x15)}}), 2236704},
    {"BasicFormatOnly", Capacities({{5, 0x03}, {7, Format(0x01)}, {2294922, Format(0x26)}}),
     2294922},
    {"FormatZeroInLastPass", Capacities({{5, 0x02}, {7, Format(0x01)}, {359849, Format(0x00)}}),
     359849},
    {"NoneMatchesGivesDescriptor0", Capacities({{12345, 0x02}, {7, Format(0x01)}}), 12345},
    {"Descriptor0NotSearched", Capacities({{12345, Format(0x10) | 0x02}}), 12345},
    // The list length claims more descriptors than arrived: the missing ones are not read (a zero
    // filled buffer would otherwise match format 00h).
    {"ClaimedDescriptorsThatNeverArrived", Capacities({{12345, 0x02}}, uint8_t{64}), 12345},
};

class CapacityTest : public DeviceTest, public ::testing::WithParamInterface<CapacityCase> {};

TEST_P(CapacityTest, PicksDescriptor) {
  const CapacityCase& c = GetParam();
  // Leave non-zero bytes behind in the buffer from an earlier command.
  platform.On(kModeSense, Good(Bytes(96, {{20, 0x77}, {23, 0x01}})));
  device->ModeSense10(0, 0, 0x2A, 96, 0);
  platform.On(kReadFormatCapacities, c.answer.value_or(kIllegal));
  EXPECT_EQ(device->QueryCapacityBlocks(), c.expected);
  EXPECT_EQ(Last().request.length, 96u);
}

INSTANTIATE_TEST_SUITE_P(Lists, CapacityTest, ::testing::ValuesIn(kCapacityCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- DVD identifiers ---

// A DVD+R writer (DVD-R only in its profile list sums to 1: drive type 5) with a DVD+RW disc.
class DvdIdTest : public DeviceTest {
 protected:
  void ArrangeDrive(bool dvdWriter) {
    platform.On(kModeSense, Good(Bytes(42, {{10, 0x08}, {11, dvdWriter ? 0x03 : 0x00}})));
    platform.On(kGetConfiguration, [](const ScsiRequest& r) {
      // The profile list (request type 2) names DVD-R; the current profile is DVD+RW.
      if (r.cdb[1] == 2) {
        return Good(Bytes(16, {{11, 4}, {13, 0x11}}));
      }
      return Good(Bytes(8, {{7, 0x1A}}));
    });
    std::vector<uint8_t> physical =
        Bytes(48, {{4, 0x90}, {9, 0x03}, {21, 'X'}, {29, 'Y'}, {34, 'Z'}});
    const char* mid = "KVTESTID";
    const char* tid = "W11";
    std::memcpy(&physical[23], mid, 8);
    std::memcpy(&physical[31], tid, 3);
    platform.On(kReadDvdStructure, Good(physical));
  }
};

TEST_F(DvdIdTest, PlusIdsFromVendorCommandOnADvdWriter) {
  ArrangeDrive(true);
  std::vector<uint8_t> vendor = Bytes(12);
  std::memcpy(vendor.data(), "ABC\0\0\0\0\0A03", 11);
  platform.On(kVendor, Good(vendor));
  char id[16];
  std::memset(id, 0x55, sizeof id);
  EXPECT_EQ(device->ReadDvdPlusMediaId(id), id);
  EXPECT_EQ(std::memcmp(id, "ABC\0\0\0\0\0\0", 9), 0);
  char type[16];
  device->ReadDvdPlusTypeId(type);
  EXPECT_STREQ(type, "A03");
}

TEST_F(DvdIdTest, PlusIdsFromPhysicalFormatWhenVendorCommandFails) {
  ArrangeDrive(true);
  platform.On(kVendor, kIllegal);
  char id[16] = {};
  device->ReadDvdPlusMediaId(id);
  EXPECT_STREQ(id, "KVTESTID");
  char type[16] = {};
  device->ReadDvdPlusTypeId(type);
  EXPECT_STREQ(type, "W11");
  EXPECT_EQ(Last().request.length, 34u);
}

TEST_F(DvdIdTest, NonWriterNeverGetsTheVendorCommand) {
  ArrangeDrive(false);
  platform.On(kVendor, Good(Bytes(12, {{0, 'Q'}})));
  char id[16] = {};
  device->ReadDvdPlusMediaId(id);
  EXPECT_STREQ(id, "KVTESTID");
  EXPECT_EQ(platform.CountSent(kVendor), 0u);
}

TEST_F(DvdIdTest, FailuresGiveEmptyStringsAndNullGivesNull) {
  ArrangeDrive(false);
  platform.On(kReadDvdStructure, kIllegal);
  char id[16];
  std::memset(id, 'x', sizeof id);
  EXPECT_STREQ(device->ReadDvdPlusMediaId(id), "");
  std::memset(id, 'x', sizeof id);
  EXPECT_STREQ(device->ReadDvdPlusTypeId(id), "");
  std::memset(id, 'x', sizeof id);
  EXPECT_STREQ(device->ReadDvdMinusMediaId(id), "");
  platform.sent.clear();
  EXPECT_EQ(device->ReadDvdPlusMediaId(nullptr), nullptr);
  EXPECT_EQ(device->ReadDvdPlusTypeId(nullptr), nullptr);
  EXPECT_EQ(device->ReadDvdMinusMediaId(nullptr), nullptr);
  EXPECT_TRUE(platform.sent.empty());
}

TEST_F(DeviceTest, MinusIdFromPrerecordedFields3And4) {
  std::vector<uint8_t> answer = Bytes(48, {{20, 3}, {28, 4}});
  std::memcpy(&answer[21], "XYZMID", 6);
  std::memcpy(&answer[29], "AM3\x01\x02\x03", 6);
  platform.On(kReadDvdStructure, Good(answer));
  char id[32];
  std::memset(id, 'x', sizeof id);
  device->ReadDvdMinusMediaId(id);
  EXPECT_EQ(std::memcmp(id, "XYZMIDAM3\x01\x02\x03", 13), 0);
  EXPECT_EQ(Last().request.cdb[7], 0x0E);
  EXPECT_EQ(Last().request.length, 48u);
}

// --- Speeds ---

FakeAnswer Performance() {
  return Good(Bytes(24, {{3, 20},  // data length: one descriptor
                         {12, 0x00},
                         {13, 0x22},
                         {14, 0x05},
                         {15, 0x5F},  // end LBA
                         {16, 0x00},
                         {17, 0x00},
                         {18, 0x2B},
                         {19, 0x48},  // read 11080
                         {20, 0x00},
                         {21, 0x00},
                         {22, 0x2B},
                         {23, 0x48}}));  // write 11080
}

TEST_F(DeviceTest, MaxWriteSpeedNeedsACdWriter) {
  platform.On(kGetPerformance, Performance());
  platform.On(kModeSense, Good(Bytes(42, {{11, 0x00}})));
  EXPECT_EQ(device->QueryMaxWriteSpeed(), 0.0);
  EXPECT_EQ(platform.CountSent(kGetPerformance), 0u);

  platform.On(kModeSense, Good(Bytes(42, {{11, 0x01}})));
  EXPECT_EQ(device->QueryMaxWriteSpeed(), 11080.0);
  const Cdb& cdb = Last().request.cdb;
  EXPECT_EQ(cdb[9], 50);
  EXPECT_EQ(cdb[10], 3);
  EXPECT_EQ(Last().request.length, 1024u);

  platform.On(kGetPerformance, kIllegal);
  EXPECT_EQ(device->QueryMaxWriteSpeed(), 0.0);
}

TEST_F(DeviceTest, SetMaximumStreamingSendsTheFirstDescriptorsSpeeds) {
  platform.On(kGetPerformance, Performance());
  platform.On(kSetStreaming, Good());
  uint8_t* param = device->GetParameterBuffer();
  std::memset(param, 0xEE, 64);  // stale parameter bytes must be cleared
  EXPECT_TRUE(device->SetMaximumStreaming());
  ASSERT_EQ(platform.sent.size(), 2u);
  EXPECT_EQ(platform.sent[0].request.length, 4096u);
  const SentCommand& streaming = platform.sent[1];
  EXPECT_EQ(streaming.request.cdb[0], kSetStreaming);
  EXPECT_EQ(streaming.request.length, 28u);
  const std::vector<uint8_t> expected = {0,    0,    0,    0,    0,    0,    0,    0,   0x00, 0x22,
                                         0x05, 0x5F, 0,    0,    0x2B, 0x48, 0,    0,   0x03, 0xE8,
                                         0,    0,    0x2B, 0x48, 0,    0,    0x03, 0xE8};
  EXPECT_EQ(streaming.outData, expected);

  platform.On(kSetStreaming, kIllegal);
  EXPECT_FALSE(device->SetMaximumStreaming());
}

TEST_F(DeviceTest, SetMaximumStreamingSendsNothingWithoutPerformance) {
  platform.On(kGetPerformance, kIllegal);
  EXPECT_FALSE(device->SetMaximumStreaming());
  EXPECT_EQ(platform.CountSent(kSetStreaming), 0u);
}

// Answers that hold no first write-speed descriptor leave stale bytes where the speed would be.
TEST_F(DeviceTest, SpeedsIgnoreStaleBytesBehindAnAnswerWithoutDescriptors) {
  const FakeAnswer noDescriptor[] = {
      Good(Bytes(8, {{3, 4}})),    // the header alone
      Good(Bytes(24, {{3, 4}})),   // padded to the allocation, but the length says none
      Good(Bytes(20, {{3, 20}})),  // the length claims one, the transfer stops short
  };
  platform.On(kModeSense, Good(Bytes(42, {{11, 0x01}})));
  platform.On(kSetStreaming, Good());
  for (const FakeAnswer& answer : noDescriptor) {
    std::memset(device->GetDataBuffer(), 0x7F, 64);
    platform.On(kGetPerformance, answer);
    EXPECT_EQ(device->QueryMaxWriteSpeed(), 0.0);
    EXPECT_FALSE(device->SetMaximumStreaming());
  }
  EXPECT_EQ(platform.CountSent(kSetStreaming), 0u);
}

TEST_F(DeviceTest, CurrentWriteSpeedNeedsThePageBytes) {
  std::memset(device->GetDataBuffer(), 0x7F, 64);
  platform.On(kModeSense, Good(Bytes(30, {{11, 0x01}})));
  EXPECT_EQ(device->QueryCurrentWriteSpeed(), 0u);
}

TEST_F(DeviceTest, CurrentWriteSpeedFromCapabilitiesPage) {
  platform.On(kModeSense, Good(Bytes(40, {{36, 0x1B}, {37, 0x90}})));
  EXPECT_EQ(device->QueryCurrentWriteSpeed(), 7056u);
  EXPECT_EQ(Last().request.length, 40u);
  platform.On(kModeSense, kIllegal);
  EXPECT_EQ(device->QueryCurrentWriteSpeed(), 0u);
}

}  // namespace
}  // namespace kv::test
