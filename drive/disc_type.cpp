// The inserted disc's class: physical format (book type), current profile, ATIP.
#include "drive/atapi_device.h"
#include "drive/atip_answer.h"
#include "drive/mmc.h"
#include "drive/physical_format_answer.h"

namespace kv {

namespace {

constexpr int32_t kReadyLimitSeconds = 120;

constexpr uint32_t kPhysicalFormatLength = 16;

constexpr uint32_t kConfigurationLength = 204;
constexpr uint32_t kCurrentProfileOffset = 6;  // feature header bytes 6-7

constexpr uint32_t kAtipClassifyLength = 24;
constexpr uint8_t kAtipMinimumLengthLow = 4;  // a longer length means a descriptor follows

DiscType DiscTypeFromBookType(uint8_t bookType) {
  switch (bookType) {
    case 0:
      return DiscType::kDvdRom;
    case 1:
      return DiscType::kDvdRam;
    case 2:
      return DiscType::kDvdMinusR;
    case 3:
      return DiscType::kDvdMinusRw;
    case 9:
      return DiscType::kDvdPlusRw;
    case 10:
      return DiscType::kDvdPlusR;
    default:
      return DiscType::kUnknown;
  }
}

// kNoMedia when the profile is none of those that name a disc.
DiscType DiscTypeFromProfile(uint16_t profile) {
  switch (profile) {
    case 0x0008:
      return DiscType::kCdRom;
    case 0x0009:
      return DiscType::kCdrAMinus;
    case 0x000A:
      return DiscType::kCdRwNormal;
    case 0x0010:
      return DiscType::kDvdRom;
    case 0x0011:
      return DiscType::kDvdMinusR;
    case 0x0012:
      return DiscType::kDvdRam;
    case 0x0013:
    case 0x0014:
      return DiscType::kDvdMinusRw;
    case 0x001A:
      return DiscType::kDvdPlusRw;
    case 0x001B:
      return DiscType::kDvdPlusR;
    default:
      return DiscType::kNoMedia;
  }
}

// The CD-R and CD-RW classes run in ATIP sub-type order.
DiscType DiscTypeFromRecordableSubType(uint8_t subType) {
  return static_cast<DiscType>(Code(DiscType::kCdr) + subType);
}

DiscType DiscTypeFromRewritableSubType(uint8_t subType) {
  constexpr uint8_t kLastRewritableSubType =
      Code(DiscType::kCdRwUltraSpeed32) - Code(DiscType::kCdRwNormal);
  return subType <= kLastRewritableSubType
             ? static_cast<DiscType>(Code(DiscType::kCdRwNormal) + subType)
             : DiscType::kUnknown;
}

}  // namespace

DiscType AtapiDevice::QueryDiscType() {
  WaitUntilReady(kReadyLimitSeconds);
  if (LastSenseIs(mmc::kSenseNotReady, mmc::kAscMediumNotPresent)) {
    return DiscType::kNoMedia;
  }
  const DriveType driveType = QueryDriveType();

  // The profile, when it names a disc, wins over the physical format's book type.
  auto byProfile = [&](DiscType otherwise) -> DiscType {
    if (GetConfiguration(mmc::kConfigAllFeatures, 0, kConfigurationLength, 0) == 0) {
      return otherwise;
    }
    const DiscType fromProfile = DiscTypeFromProfile(ReadDataBE16(kCurrentProfileOffset));
    return fromProfile != DiscType::kNoMedia ? fromProfile : otherwise;
  };

  if (ReadDvdStructure(0, 0, mmc::kDvdFormatPhysical, kPhysicalFormatLength, 0, 0) != 0) {
    if (LastCommand_.Transferred < physical_format::kHeaderSize) {
      return byProfile(DiscType::kUnknown);
    }
    if (ReadDataByte(physical_format::kFirstSectorTopByte) == physical_format::kDvdFirstSectorTop) {
      return byProfile(DiscTypeFromBookType(ReadDataByte(physical_format::kBookTypeByte) >>
                                            physical_format::kBookTypeShift));
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
    return DiscTypeFromRecordableSubType(subType);
  }

  // No ATIP.
  if (driveType == DriveType::kCdRom) {
    return DiscType::kCdRom;
  }
  return byProfile(DiscType::kUnknown);
}

}  // namespace kv
