// The inserted disc's class: physical format (book type), current profile, ATIP.
#include "drive/atapi_device.h"
#include "drive/atip_answer.h"
#include "drive/mmc.h"

namespace kv {

namespace {

constexpr int32_t kReadyLimitSeconds = 120;

constexpr uint32_t kPhysicalFormatLength = 16;
// READ DVD STRUCTURE format 00h: 4-byte header, then the physical format information.
constexpr uint32_t kMinimumPhysicalAnswer = 4;
constexpr uint32_t kBookTypeByte = 4;  // bits 7-4
constexpr uint32_t kFirstSectorTopByte = 9;
constexpr uint8_t kDvdFirstSectorTop = 0x03;  // data starts at physical sector 030000h

constexpr uint32_t kConfigurationLength = 204;
constexpr uint32_t kCurrentProfileOffset = 6;  // feature header bytes 6-7

constexpr uint32_t kAtipClassifyLength = 24;
constexpr uint8_t kAtipMinimumLengthLow = 4;  // a longer length means a descriptor follows

uint8_t DiscTypeFromBookType(uint8_t bookType) {
  switch (bookType) {
    case 0:
      return 15;
    case 1:
      return 16;
    case 2:
      return 17;
    case 3:
      return 18;
    case 9:
      return 19;
    case 10:
      return 20;
    default:
      return 1;
  }
}

// 0 when the profile is none of those that name a disc.
uint8_t DiscTypeFromProfile(uint16_t profile) {
  switch (profile) {
    case 0x0008:
      return 2;
    case 0x0009:
      return 5;
    case 0x000A:
      return 11;
    case 0x0010:
      return 15;
    case 0x0011:
      return 17;
    case 0x0012:
      return 16;
    case 0x0013:
    case 0x0014:
      return 18;
    case 0x001A:
      return 19;
    case 0x001B:
      return 20;
    default:
      return 0;
  }
}

uint8_t DiscTypeFromRewritableSubType(uint8_t subType) {
  return subType <= 3 ? static_cast<uint8_t>(11 + subType) : 1;
}

}  // namespace

uint8_t AtapiDevice::QueryDiscType() {
  WaitUntilReady(kReadyLimitSeconds);
  if (LastSenseIs(mmc::kSenseNotReady, mmc::kAscMediumNotPresent)) {
    return 0;
  }
  const uint8_t driveType = QueryDriveType();

  // The profile, when it names a disc, wins over the physical format's book type.
  auto byProfile = [&](uint8_t otherwise) -> uint8_t {
    if (GetConfiguration(mmc::kConfigAllFeatures, 0, kConfigurationLength, 0) == 0) {
      return otherwise;
    }
    const uint8_t fromProfile = DiscTypeFromProfile(ReadDataBE16(kCurrentProfileOffset));
    return fromProfile != 0 ? fromProfile : otherwise;
  };

  if (ReadDvdStructure(0, 0, mmc::kDvdFormatPhysical, kPhysicalFormatLength, 0, 0) != 0) {
    if (LastCommand_.Transferred < kMinimumPhysicalAnswer) {
      return byProfile(1);
    }
    if (ReadDataByte(kFirstSectorTopByte) == kDvdFirstSectorTop) {
      return byProfile(DiscTypeFromBookType(ReadDataByte(kBookTypeByte) >> 4));
    }
    // Not a DVD layout: go the CD way.
  }

  if (ReadTocPmaAtip(0, mmc::kTocFormatAtip, 0, kAtipClassifyLength, 0) != 0 &&
      ReadDataByte(atip::kLengthLow) > kAtipMinimumLengthLow &&
      atip::DescriptorLooksValid(ReadDataByte(atip::kDescriptorByte0),
                                 ReadDataByte(atip::kDescriptorByte2))) {
    const uint8_t descriptor = ReadDataByte(atip::kDescriptorByte2);
    const uint8_t subType = (descriptor >> atip::kSubTypeShift) & atip::kSubTypeMask;
    if ((descriptor & atip::kDiscTypeRewritable) != 0) {
      return DiscTypeFromRewritableSubType(subType);
    }
    return static_cast<uint8_t>(3 + subType);
  }

  // No ATIP.
  if (driveType == 1) {
    return 2;
  }
  return byProfile(1);
}

}  // namespace kv
