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
  DriveType expected;
};

void PrintTo(const DriveTypeCase& c, std::ostream* os) {
  *os << c.name;
}

const DriveTypeCase kDriveTypeCases[] = {
    {"PageUnreadable", {}, {}, DriveType::kUnknown},
    {"ReadsOnlyCds", Capabilities(0x00, 0x00), {}, DriveType::kCdRom},
    {"CdRwBitWithoutCdRIsCdRom", Capabilities(0x00, 0x02), {}, DriveType::kCdRom},
    {"DvdRom", Capabilities(0x08, 0x00), {}, DriveType::kDvdRom},
    {"DvdRomWritingCdROnly", Capabilities(0x08, 0x01), {}, DriveType::kDvdRom},
    {"CdRw", Capabilities(0x00, 0x03), {}, DriveType::kCdRw},
    {"ComboProfilesUnreadable", Capabilities(0x08, 0x03), {}, DriveType::kCombo},
    {"ComboNoDvdProfiles", Capabilities(0x08, 0x03), ProfileList({0x08, 0x09, 0x0A, 0x10}),
     DriveType::kCombo},
    {"DvdMinusR", Capabilities(0x08, 0x03), ProfileList({0x10, 0x11}), DriveType::kDvdMinusR},
    {"DvdMinusRw", Capabilities(0x08, 0x03), ProfileList({0x13}), DriveType::kDvdMinusRw},
    {"DvdMinusRwSequentialCountsNothing", Capabilities(0x08, 0x03), ProfileList({0x14}),
     DriveType::kCombo},
    {"DvdMinusRAndRw", Capabilities(0x08, 0x03), ProfileList({0x11, 0x13, 0x14}),
     DriveType::kDvdMinusRMinusRw},
    {"DvdPlusR", Capabilities(0x08, 0x03), ProfileList({0x1B}), DriveType::kDvdPlusR},
    {"DvdPlusRwOnlySum8IsCombo", Capabilities(0x08, 0x03), ProfileList({0x1A}), DriveType::kCombo},
    {"DvdPlusRAndRw", Capabilities(0x08, 0x03), ProfileList({0x1A, 0x1B}),
     DriveType::kDvdPlusRPlusRw},
    {"AllFourSum15IsDual", Capabilities(0x08, 0x03), ProfileList({0x11, 0x13, 0x1A, 0x1B}),
     DriveType::kDvdDual},
    {"MixedSum5IsCombo", Capabilities(0x08, 0x03), ProfileList({0x11, 0x1B}), DriveType::kCombo},
    {"OnlyLowByteCompared", Capabilities(0x08, 0x03), ProfileList({0x0111}), DriveType::kDvdMinusR},
    {"ProfilesPastListLengthIgnored", Capabilities(0x08, 0x03),
     ProfileList({0x11, 0x13}, uint8_t{4}), DriveType::kDvdMinusR},
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
  for (int code = 0; code <= Code(kLastDriveType); ++code) {
    EXPECT_EQ(std::strlen(AtapiDevice::DriveTypeName(static_cast<DriveType>(code))), 9u) << code;
  }
  for (int code = 0; code <= Code(kLastDiscType); ++code) {
    EXPECT_EQ(std::strlen(AtapiDevice::DiscTypeName(static_cast<DiscType>(code))), 21u) << code;
  }
  EXPECT_STREQ(AtapiDevice::DriveTypeName(DriveType::kCombo), "COMBO    ");
  EXPECT_STREQ(AtapiDevice::DriveTypeName(DriveType::kDvdDual), "DVD DUAL ");
  EXPECT_STREQ(AtapiDevice::DiscTypeName(DiscType::kNoMedia), "NO MEDIA             ");
  EXPECT_STREQ(AtapiDevice::DiscTypeName(DiscType::kCdRwUltraSpeed32), "ULTRA SPEED CD-RW 32X");
  EXPECT_STREQ(AtapiDevice::DiscTypeName(DiscType::kDvdPlusR), "DVD+R                ");
  for (int code : {Code(kLastDriveType) + 1, 200, 255}) {
    EXPECT_STREQ(AtapiDevice::DriveTypeName(static_cast<DriveType>(code)), "UNKNOWN  ");
  }
  for (int code : {Code(kLastDiscType) + 1, 255}) {
    EXPECT_STREQ(AtapiDevice::DiscTypeName(static_cast<DiscType>(code)), "UNKNOWN              ");
  }
}

// --- DiscType ---

struct DiscTypeCase {
  const char* name;
  FakeAnswer capabilities;
  std::optional<FakeAnswer> physical;  // READ DVD STRUCTURE; empty: fails
  std::optional<FakeAnswer> profile;   // GET CONFIGURATION; empty: fails
  std::optional<FakeAnswer> atip;      // READ TOC/PMA/ATIP; empty: fails
  DiscType expected;
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
    {"NoMedia", kCdRwDrive, {}, {}, {}, DiscType::kNoMedia, CheckCondition(0x02, 0x3A)},
    {"BookDvdRom", kCdRwDrive, PhysicalFormat(0), {}, {}, DiscType::kDvdRom},
    {"BookDvdRam", kCdRwDrive, PhysicalFormat(1), {}, {}, DiscType::kDvdRam},
    {"BookDvdMinusR", kCdRwDrive, PhysicalFormat(2), {}, {}, DiscType::kDvdMinusR},
    {"BookDvdMinusRw", kCdRwDrive, PhysicalFormat(3), {}, {}, DiscType::kDvdMinusRw},
    {"BookDvdPlusRw", kCdRwDrive, PhysicalFormat(9), {}, {}, DiscType::kDvdPlusRw},
    {"BookDvdPlusR", kCdRwDrive, PhysicalFormat(10), {}, {}, DiscType::kDvdPlusR},
    {"BookOther", kCdRwDrive, PhysicalFormat(5), {}, {}, DiscType::kUnknown},
    {"ProfileOverBookType",
     kCdRwDrive,
     PhysicalFormat(10),
     CurrentProfile(0x1A),
     {},
     DiscType::kDvdPlusRw},
    {"BlankPlusRwReportedAsRom",
     kCdRwDrive,
     PhysicalFormat(0),
     CurrentProfile(0x1A),
     {},
     DiscType::kDvdPlusRw},
    {"ProfileMinusRwSequential",
     kCdRwDrive,
     PhysicalFormat(0),
     CurrentProfile(0x14),
     {},
     DiscType::kDvdMinusRw},
    {"ProfileUnnamedKeepsBook",
     kCdRwDrive,
     PhysicalFormat(2),
     CurrentProfile(0x02),
     {},
     DiscType::kDvdMinusR},
    {"ShortPhysicalIsUnknown", kCdRwDrive, ShortPhysical(), {}, Atip(false, 0), DiscType::kUnknown},
    {"ShortPhysicalNamedByProfile",
     kCdRwDrive,
     ShortPhysical(),
     CurrentProfile(0x11),
     {},
     DiscType::kDvdMinusR},
    {"Byte9NotDvdGoesCdWay", kCdRwDrive, PhysicalFormat(10, 0x00), CurrentProfile(0x1B),
     Atip(false, 3), DiscType::kCdrAPlus},
    {"CdRSubType0", kCdRwDrive, {}, {}, Atip(false, 0), DiscType::kCdr},
    {"CdRSubType2", kCdRwDrive, {}, {}, Atip(false, 2), DiscType::kCdrAMinus},
    {"CdRSubType7", kCdRwDrive, {}, {}, Atip(false, 7), DiscType::kCdrCPlus},
    {"CdRwSubType0", kCdRwDrive, {}, {}, Atip(true, 0), DiscType::kCdRwNormal},
    {"CdRwSubType3", kCdRwDrive, {}, {}, Atip(true, 3), DiscType::kCdRwUltraSpeed32},
    {"CdRwSubType4IsUnknown", kCdRwDrive, {}, {}, Atip(true, 4), DiscType::kUnknown},
    {"CdRwSubType7IsUnknown", kCdRwDrive, {}, {}, Atip(true, 7), DiscType::kUnknown},
    {"AtipByte4FixedBitClear",
     kCdRwDrive,
     {},
     CurrentProfile(0x08),
     Atip(false, 1, 0x00),
     DiscType::kCdRom},
    {"AtipByte6FixedBitClear",
     kCdRwDrive,
     {},
     CurrentProfile(0x08),
     Atip(false, 1, 0x80, 0x00),
     DiscType::kCdRom},
    {"PressedCdFalseAtipNoProfile",
     kCdRwDrive,
     {},
     {},
     Atip(false, 1, 0x00, 0x00),
     DiscType::kUnknown},
    {"AtipHeaderOnlyLength4",
     kCdRwDrive,
     {},
     CurrentProfile(0x09),
     Atip(false, 1, 0x80, 0x80, 4),
     DiscType::kCdrAMinus},
    {"NoAtipCdRomDrive", kCdRomDrive, {}, CurrentProfile(0x0A), {}, DiscType::kCdRom},
    {"NoAtipProfileCdR", kCdRwDrive, {}, CurrentProfile(0x09), {}, DiscType::kCdrAMinus},
    {"NoAtipProfileCdRw", kCdRwDrive, {}, CurrentProfile(0x0A), {}, DiscType::kCdRwNormal},
    {"NoAtipProfileUnnamed", kCdRwDrive, {}, CurrentProfile(0x02), {}, DiscType::kUnknown},
    {"NoAtipNoProfile", kCdRwDrive, {}, {}, {}, DiscType::kUnknown},
    {"UnreadableDriveStillClassifies", kIllegal, {}, {}, Atip(false, 0), DiscType::kCdr},
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
  if (c.expected == DiscType::kNoMedia) {
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
