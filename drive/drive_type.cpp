// The drive's class from its capabilities page and profile list, and the two name tables.
#include <array>

#include "drive/atapi_device.h"
#include "drive/capabilities_page_answer.h"
#include "drive/configuration_answer.h"
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
using capabilities_page::kCdrWriteBit;
using capabilities_page::kCdrwWriteBit;
using capabilities_page::kDvdRomReadBit;
using capabilities_page::kReadCapabilityByte;
using capabilities_page::kWriteCapabilityByte;

constexpr uint32_t kProfileListLength = 248;
using configuration::kFirstProfileLowByte;
using configuration::kProfileDescriptorSize;
using configuration::kProfileListAdditionalLength;

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
  if (ModeSense10(0, 0, mmc::kPageCapabilities, kCapabilitiesLength, 0) == 0 ||
      !AnswerHolds(kReadCapabilityByte, kWriteCapabilityByte - kReadCapabilityByte + 1)) {
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
          0 ||
      !AnswerHolds(kProfileListAdditionalLength, 1)) {
    return DriveType::kCombo;
  }
  const uint32_t additional = ReadDataByte(kProfileListAdditionalLength);
  unsigned sum = 0;
  for (uint32_t i = 0; i < additional && AnswerHolds(kFirstProfileLowByte + i, 1);
       i += kProfileDescriptorSize) {
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
         AnswerHolds(kWriteCapabilityByte, 1) &&
         (ReadDataByte(kWriteCapabilityByte) & kCdrWriteBit) != 0;
}

}  // namespace kv
