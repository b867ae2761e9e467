// The drive's class from its capabilities page and profile list, and the two name tables.
#include <array>

#include "drive/atapi_device.h"
#include "drive/mmc.h"

namespace kv {

namespace {

constexpr std::array<const char*, Code(kLastDriveType) + 1> kDriveTypeNames = {
    "UNKNOWN  ", "CD-ROM   ", "DVD-ROM  ", "CD-RW    ", "COMBO    ", "DVD-R    ",
    "DVD+R    ", "DVD+RW   ", "DVD-RW   ", "DVD+R/+RW", "DVD-R/-RW", "DVD DUAL ",
};

constexpr std::array<const char*, Code(kLastDiscType) + 1> kDiscTypeNames = {
    "NO MEDIA             ", "UNKNOWN              ", "CD-ROM               ",
    "CDR                  ", "CDR                  ", "CDR (A-)             ",
    "CDR (A+)             ", "CDR (B-)             ", "CDR (B+)             ",
    "CDR (C-)             ", "CDR (C+)             ", "NORMAL CD-RW         ",
    "HIGH SPEED CD-RW     ", "ULTRA SPEED CD-RW 24X", "ULTRA SPEED CD-RW 32X",
    "DVD-ROM              ", "DVD-RAM              ", "DVD-R                ",
    "DVD-RW               ", "DVD+RW               ", "DVD+R                ",
};

constexpr uint32_t kCapabilitiesLength = 42;
// Answer of MODE SENSE (10) page 2Ah: the 8-byte mode parameter header, then the page.
constexpr uint32_t kReadCapabilityByte = 10;   // page byte 2
constexpr uint32_t kWriteCapabilityByte = 11;  // page byte 3
constexpr uint8_t kDvdRomReadBit = 0x08;
constexpr uint8_t kCdrWriteBit = 0x01;
constexpr uint8_t kCdrwWriteBit = 0x02;

constexpr uint32_t kProfileListLength = 248;
// Answer of GET CONFIGURATION for the profile list feature: 8-byte feature header, the feature
// descriptor's additional length at byte 11, 4-byte profile descriptors from byte 12.
constexpr uint32_t kProfileListAdditionalLength = 11;
constexpr uint32_t kFirstProfileLowByte = 13;
constexpr uint32_t kProfileDescriptorSize = 4;

// Weights of the four DVD recording profiles (low byte of the profile number).
constexpr uint8_t kProfileDvdMinusR = 0x11;
constexpr uint8_t kProfileDvdMinusRwRestricted = 0x13;
constexpr uint8_t kProfileDvdPlusR = 0x1B;
constexpr uint8_t kProfileDvdPlusRw = 0x1A;

DriveType DriveTypeFromProfileSum(unsigned sum) {
  switch (sum) {
    case 1:
      return DriveType::kDvdMinusR;
    case 2:
      return DriveType::kDvdMinusRw;
    case 3:
      return DriveType::kDvdMinusRMinusRw;
    case 4:
      return DriveType::kDvdPlusR;
    case 12:
      return DriveType::kDvdPlusRPlusRw;
    case 15:
      return DriveType::kDvdDual;
    default:
      return DriveType::kCombo;
  }
}

}  // namespace

DriveType AtapiDevice::QueryDriveType() {
  ClearUnitAttention();
  if (ModeSense10(0, 0, mmc::kPageCapabilities, kCapabilitiesLength, 0) == 0) {
    return DriveType::kUnknown;
  }
  const bool dvdRom = (ReadDataByte(kReadCapabilityByte) & kDvdRomReadBit) != 0;
  const bool cdr = (ReadDataByte(kWriteCapabilityByte) & kCdrWriteBit) != 0;
  const bool cdrw = (ReadDataByte(kWriteCapabilityByte) & kCdrwWriteBit) != 0;
  if (!cdr && !dvdRom) {
    return DriveType::kCdRom;
  }
  if (dvdRom && !cdrw) {
    return DriveType::kDvdRom;
  }
  if (cdrw && !dvdRom) {
    return DriveType::kCdRw;
  }

  if (GetConfiguration(mmc::kConfigOneFeature, mmc::kFeatureProfileList, kProfileListLength, 0) ==
      0) {
    return DriveType::kCombo;
  }
  const uint32_t additional = ReadDataByte(kProfileListAdditionalLength);
  unsigned sum = 0;
  for (uint32_t i = 0; i < additional; i += kProfileDescriptorSize) {
    switch (ReadDataByte(kFirstProfileLowByte + i)) {
      case kProfileDvdMinusR:
        sum += 1;
        break;
      case kProfileDvdMinusRwRestricted:
        sum += 2;
        break;
      case kProfileDvdPlusR:
        sum += 4;
        break;
      case kProfileDvdPlusRw:
        sum += 8;
        break;
      default:
        break;
    }
  }
  return DriveTypeFromProfileSum(sum);
}

const char* AtapiDevice::CurrentDriveTypeName() {
  return DriveTypeName(QueryDriveType());
}

const char* AtapiDevice::DriveTypeName(DriveType code) {
  const uint8_t index = Code(code <= kLastDriveType ? code : DriveType::kUnknown);
  return kDriveTypeNames[index];
}

const char* AtapiDevice::DiscTypeName(DiscType code) {
  // Codes the queries never give read as UNKNOWN.
  const uint8_t index = Code(code <= kLastDiscType ? code : DiscType::kUnknown);
  return kDiscTypeNames[index];
}

bool AtapiDevice::IsCdWriter() {
  return ModeSense10(0, 0, mmc::kPageCapabilities, kCapabilitiesLength, 0) != 0 &&
         (ReadDataByte(kWriteCapabilityByte) & kCdrWriteBit) != 0;
}

}  // namespace kv
