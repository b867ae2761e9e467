// DriveType and DiscType decisions, each from scripted answers of the fake drive.
#include <cstring>
#include <optional>

#include "tests/drive/device_fixture.h"

namespace kv::test {
namespace {

constexpr uint8_t kTur = 0x00;
constexpr uint8_t kModeSense = 0x5A;
constexpr uint8_t kGetConfiguration = 0x46;
constexpr uint8_t kReadDvdStructure = 0xAD;
constexpr uint8_t kReadToc = 0x43;

FakeAnswer Capabilities(uint8_t readByte, uint8_t writeByte) {
  return Good(Bytes(42, {{10, readByte}, {11, writeByte}}));
}

FakeAnswer ProfileList(std::vector<uint16_t> profiles, std::optional<uint8_t> length = {}) {
  std::vector<uint8_t> data = Bytes(12);
  data[11] = length.value_or(static_cast<uint8_t>(profiles.size() * 4));
  for (uint16_t p : profiles) {
    data.insert(data.end(), {static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), 0, 0});
  }
  return Good(data);
}

FakeAnswer CurrentProfile(uint16_t profile) {
  return Good(
      Bytes(16, {{6, static_cast<uint8_t>(profile >> 8)}, {7, static_cast<uint8_t>(profile)}}));
}

FakeAnswer PhysicalFormat(uint8_t bookType, uint8_t firstSectorTop = 0x03) {
  return Good(Bytes(16, {{4, static_cast<uint8_t>(bookType << 4)}, {9, firstSectorTop}}));
}

// An ATIP answer with a descriptor; the two fixed bits are set unless cleared.
FakeAnswer Atip(bool rewritable, uint8_t subType, uint8_t byte4 = 0x80, uint8_t fixed6 = 0x80,
                uint8_t lengthLow = 22) {
  const uint8_t byte6 =
      static_cast<uint8_t>(fixed6 | (rewritable ? 0x40 : 0) | ((subType & 7) << 3));
  return Good(Bytes(24, {{1, lengthLow}, {4, byte4}, {6, byte6}}));
}

const FakeAnswer kIllegal = CheckCondition(0x05, 0x24);

// --- DriveType ---

struct DriveTypeCase {
  const char* name;
  std::optional<FakeAnswer> capabilities;  // empty: MODE SENSE fails
  std::optional<FakeAnswer> profiles;      // empty: GET CONFIGURATION fails
  uint8_t expected;
};

void PrintTo(const DriveTypeCase& c, std::ostream* os) {
  *os << c.name;
}

const DriveTypeCase kDriveTypeCases[] = {
    {"PageUnreadable", {}, {}, 0},
    {"ReadsOnlyCds", Capabilities(0x00, 0x00), {}, 1},
    {"CdRwBitWithoutCdRIsCdRom", Capabilities(0x00, 0x02), {}, 1},
    {"DvdRom", Capabilities(0x08, 0x00), {}, 2},
    {"DvdRomWritingCdROnly", Capabilities(0x08, 0x01), {}, 2},
    {"CdRw", Capabilities(0x00, 0x03), {}, 3},
    {"ComboProfilesUnreadable", Capabilities(0x08, 0x03), {}, 4},
    {"ComboNoDvdProfiles", Capabilities(0x08, 0x03), ProfileList({0x08, 0x09, 0x0A, 0x10}), 4},
    {"DvdMinusR", Capabilities(0x08, 0x03), ProfileList({0x10, 0x11}), 5},
    {"DvdMinusRw", Capabilities(0x08, 0x03), ProfileList({0x13}), 8},
    {"DvdMinusRwSequentialCountsNothing", Capabilities(0x08, 0x03), ProfileList({0x14}), 4},
    {"DvdMinusRAndRw", Capabilities(0x08, 0x03), ProfileList({0x11, 0x13, 0x14}), 10},
    {"DvdPlusR", Capabilities(0x08, 0x03), ProfileList({0x1B}), 6},
    {"DvdPlusRwOnlySum8IsCombo", Capabilities(0x08, 0x03), ProfileList({0x1A}), 4},
    {"DvdPlusRAndRw", Capabilities(0x08, 0x03), ProfileList({0x1A, 0x1B}), 9},
    {"AllFourSum15IsDual", Capabilities(0x08, 0x03), ProfileList({0x11, 0x13, 0x1A, 0x1B}), 11},
    {"MixedSum5IsCombo", Capabilities(0x08, 0x03), ProfileList({0x11, 0x1B}), 4},
    {"OnlyLowByteCompared", Capabilities(0x08, 0x03), ProfileList({0x0111}), 5},
    {"ProfilesPastListLengthIgnored", Capabilities(0x08, 0x03),
     ProfileList({0x11, 0x13}, uint8_t{4}), 5},
};

class DriveTypeTest : public DeviceTest, public ::testing::WithParamInterface<DriveTypeCase> {};

TEST_P(DriveTypeTest, Classifies) {
  const DriveTypeCase& c = GetParam();
  platform.On(kModeSense, c.capabilities.value_or(kIllegal));
  platform.On(kGetConfiguration, c.profiles.value_or(kIllegal));
  EXPECT_EQ(device->QueryDriveType(), c.expected);
  ASSERT_FALSE(platform.sent.empty());
  EXPECT_EQ(platform.sent.front().request.cdb[0], kTur) << "unit attention is cleared first";
  for (const SentCommand& s : platform.sent) {
    if (s.request.cdb[0] == kGetConfiguration) {
      EXPECT_EQ(s.request.cdb[1], 2);
      EXPECT_EQ(s.request.length, 248u);
    }
  }
  EXPECT_STREQ(device->CurrentDriveTypeName(), AtapiDevice::DriveTypeName(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Capabilities, DriveTypeTest, ::testing::ValuesIn(kDriveTypeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NameTables, FixedWidthNamesAndUnknownOutOfRange) {
  for (int code = 0; code <= 11; ++code) {
    EXPECT_EQ(std::strlen(AtapiDevice::DriveTypeName(static_cast<uint8_t>(code))), 9u) << code;
  }
  for (int code = 0; code <= 20; ++code) {
    EXPECT_EQ(std::strlen(AtapiDevice::DiscTypeName(static_cast<uint8_t>(code))), 21u) << code;
  }
  EXPECT_STREQ(AtapiDevice::DriveTypeName(4), "COMBO    ");
  EXPECT_STREQ(AtapiDevice::DriveTypeName(11), "DVD DUAL ");
  EXPECT_STREQ(AtapiDevice::DiscTypeName(0), "NO MEDIA             ");
  EXPECT_STREQ(AtapiDevice::DiscTypeName(14), "ULTRA SPEED CD-RW 32X");
  EXPECT_STREQ(AtapiDevice::DiscTypeName(20), "DVD+R                ");
  for (uint8_t code : {uint8_t{12}, uint8_t{200}, uint8_t{255}}) {
    EXPECT_STREQ(AtapiDevice::DriveTypeName(code), "UNKNOWN  ");
  }
  for (uint8_t code : {uint8_t{21}, uint8_t{255}}) {
    EXPECT_STREQ(AtapiDevice::DiscTypeName(code), "UNKNOWN              ");
  }
}

// --- DiscType ---

struct DiscTypeCase {
  const char* name;
  FakeAnswer capabilities;
  std::optional<FakeAnswer> physical;  // READ DVD STRUCTURE; empty: fails
  std::optional<FakeAnswer> profile;   // GET CONFIGURATION; empty: fails
  std::optional<FakeAnswer> atip;      // READ TOC/PMA/ATIP; empty: fails
  uint8_t expected;
  FakeAnswer tur = Good();
};

void PrintTo(const DiscTypeCase& c, std::ostream* os) {
  *os << c.name;
}

const FakeAnswer kCdRwDrive = Capabilities(0x00, 0x03);
const FakeAnswer kCdRomDrive = Capabilities(0x00, 0x00);

FakeAnswer ShortPhysical() {
  return Good(Bytes(3, {{0, 0x08}}));
}

const DiscTypeCase kDiscTypeCases[] = {
    {"NoMedia", kCdRwDrive, {}, {}, {}, 0, CheckCondition(0x02, 0x3A)},
    {"BookDvdRom", kCdRwDrive, PhysicalFormat(0), {}, {}, 15},
    {"BookDvdRam", kCdRwDrive, PhysicalFormat(1), {}, {}, 16},
    {"BookDvdMinusR", kCdRwDrive, PhysicalFormat(2), {}, {}, 17},
    {"BookDvdMinusRw", kCdRwDrive, PhysicalFormat(3), {}, {}, 18},
    {"BookDvdPlusRw", kCdRwDrive, PhysicalFormat(9), {}, {}, 19},
    {"BookDvdPlusR", kCdRwDrive, PhysicalFormat(10), {}, {}, 20},
    {"BookOther", kCdRwDrive, PhysicalFormat(5), {}, {}, 1},
    {"ProfileOverBookType", kCdRwDrive, PhysicalFormat(10), CurrentProfile(0x1A), {}, 19},
    {"BlankPlusRwReportedAsRom", kCdRwDrive, PhysicalFormat(0), CurrentProfile(0x1A), {}, 19},
    {"ProfileMinusRwSequential", kCdRwDrive, PhysicalFormat(0), CurrentProfile(0x14), {}, 18},
    {"ProfileUnnamedKeepsBook", kCdRwDrive, PhysicalFormat(2), CurrentProfile(0x02), {}, 17},
    {"ShortPhysicalIsUnknown", kCdRwDrive, ShortPhysical(), {}, Atip(false, 0), 1},
    {"ShortPhysicalNamedByProfile", kCdRwDrive, ShortPhysical(), CurrentProfile(0x11), {}, 17},
    {"Byte9NotDvdGoesCdWay", kCdRwDrive, PhysicalFormat(10, 0x00), CurrentProfile(0x1B),
     Atip(false, 3), 6},
    {"CdRSubType0", kCdRwDrive, {}, {}, Atip(false, 0), 3},
    {"CdRSubType2", kCdRwDrive, {}, {}, Atip(false, 2), 5},
    {"CdRSubType7", kCdRwDrive, {}, {}, Atip(false, 7), 10},
    {"CdRwSubType0", kCdRwDrive, {}, {}, Atip(true, 0), 11},
    {"CdRwSubType3", kCdRwDrive, {}, {}, Atip(true, 3), 14},
    {"CdRwSubType4IsUnknown", kCdRwDrive, {}, {}, Atip(true, 4), 1},
    {"CdRwSubType7IsUnknown", kCdRwDrive, {}, {}, Atip(true, 7), 1},
    {"AtipByte4FixedBitClear", kCdRwDrive, {}, CurrentProfile(0x08), Atip(false, 1, 0x00), 2},
    {"AtipByte6FixedBitClear", kCdRwDrive, {}, CurrentProfile(0x08), Atip(false, 1, 0x80, 0x00), 2},
    {"PressedCdFalseAtipNoProfile", kCdRwDrive, {}, {}, Atip(false, 1, 0x00, 0x00), 1},
    {"AtipHeaderOnlyLength4",
     kCdRwDrive,
     {},
     CurrentProfile(0x09),
     Atip(false, 1, 0x80, 0x80, 4),
     5},
    {"NoAtipCdRomDrive", kCdRomDrive, {}, CurrentProfile(0x0A), {}, 2},
    {"NoAtipProfileCdR", kCdRwDrive, {}, CurrentProfile(0x09), {}, 5},
    {"NoAtipProfileCdRw", kCdRwDrive, {}, CurrentProfile(0x0A), {}, 11},
    {"NoAtipProfileUnnamed", kCdRwDrive, {}, CurrentProfile(0x02), {}, 1},
    {"NoAtipNoProfile", kCdRwDrive, {}, {}, {}, 1},
    {"UnreadableDriveStillClassifies", kIllegal, {}, {}, Atip(false, 0), 3},
};

class DiscTypeTest : public DeviceTest, public ::testing::WithParamInterface<DiscTypeCase> {};

TEST_P(DiscTypeTest, Classifies) {
  const DiscTypeCase& c = GetParam();
  platform.On(kTur, c.tur);
  platform.On(kModeSense, c.capabilities);
  platform.On(kReadDvdStructure, c.physical.value_or(kIllegal));
  platform.On(kGetConfiguration, c.profile.value_or(kIllegal));
  platform.On(kReadToc, c.atip.value_or(kIllegal));
  EXPECT_EQ(device->QueryDiscType(), c.expected);
  if (c.expected == 0) {
    EXPECT_EQ(platform.CountSent(kReadDvdStructure), 0u);
  }
  if (std::string(c.name) == "NoAtipCdRomDrive") {
    EXPECT_EQ(platform.CountSent(kGetConfiguration), 0u);
  }
  for (const SentCommand& s : platform.sent) {
    const Cdb& cdb = s.request.cdb;
    if (cdb[0] == kReadToc) {
      EXPECT_EQ(cdb[1], 0x00) << "classification reads ATIP without MSF";
      EXPECT_EQ(cdb[2], 4);
      EXPECT_EQ(s.request.length, 24u);
    } else if (cdb[0] == kGetConfiguration) {
      EXPECT_EQ(cdb[1], 0);
      EXPECT_EQ(s.request.length, 204u);
    } else if (cdb[0] == kReadDvdStructure) {
      EXPECT_EQ(s.request.length, 16u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Discs, DiscTypeTest, ::testing::ValuesIn(kDiscTypeCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::test
