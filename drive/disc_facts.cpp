// Layer count, ATIP times, DVD identifiers and nominal capacity of the inserted disc.
#include <algorithm>

#include "drive/atapi_device.h"
#include "drive/atip_answer.h"
#include "drive/mmc.h"
#include "drive/physical_format_answer.h"
#include "drive/prerecorded_answer.h"
#include "drive/vendor_media_id_answer.h"

namespace kv {

namespace {

constexpr uint32_t kLayerAnswerLength = 36;

constexpr uint32_t kAtipTimesLength = 256;
constexpr uint32_t kAtipHeaderOnlyLength = 2;  // data length of a header without descriptor
constexpr uint32_t kAtipLeadInMsf = 8;         // ATIP start time of lead-in
constexpr uint32_t kAtipLeadOutMsf = 12;       // last possible start time of lead-out
constexpr uint32_t kDiscInfoLength = 256;
constexpr uint32_t kDiscInfoLeadInMsf = 17;   // last session lead-in start address
constexpr uint32_t kDiscInfoLeadOutMsf = 21;  // last possible lead-out start address

constexpr uint32_t kPlusIdAnswerLength = 34;

constexpr uint32_t kMinusIdAnswerLength = 48;

constexpr uint32_t kFormatCapacitiesLength = 96;
constexpr uint32_t kCapacityListLength = 3;
constexpr uint32_t kFirstDescriptor = 4;  // the current/maximum capacity descriptor
constexpr uint32_t kDescriptorSize = 8;
constexpr uint32_t kDescriptorTypeByte = 4;  // within a descriptor: bits 1-0 (descriptor 0)
constexpr uint8_t kDescriptorTypeMask = 0x03;
constexpr uint8_t kUnformattedMedia = 1;
constexpr uint8_t kFormatTypeShift = 2;  // bits 7-2 of the same byte (formattable descriptors)
// Full format, full format with sparing (DVD-RW), DVD+RW basic format, then the first of any.
constexpr uint8_t kPreferredFormats[] = {0x10, 0x15, 0x26, 0x00};

uint32_t MsfTime(uint8_t minutes, uint8_t seconds, uint8_t frames) {
  return uint32_t{minutes} * 10000 + uint32_t{seconds} * 100 + frames;
}

}  // namespace

uint32_t AtapiDevice::QueryLayerCount() {
  if (ReadDvdStructure(0, 0, mmc::kDvdFormatPhysical, kLayerAnswerLength, 0, 0) == 0) {
    return 0;
  }
  return ((ReadDataByte(physical_format::kLayersByte) >> physical_format::kLayersShift) &
          physical_format::kLayersMask) +
         1u;
}

uint32_t AtapiDevice::QueryAtipTime(AtipTime which) {
  auto timeAt = [&](uint32_t offset) {
    return MsfTime(ReadDataByte(offset), ReadDataByte(offset + 1), ReadDataByte(offset + 2));
  };
  uint32_t leadIn = 0;
  uint32_t leadOut = 0;
  const bool atipRead = ReadTocPmaAtip(1, mmc::kTocFormatAtip, 0, kAtipTimesLength, 0) != 0;
  const bool headerOnly = ReadDataByte(atip::kLengthHigh) == 0 &&
                          ReadDataByte(atip::kLengthLow) == kAtipHeaderOnlyLength;
  if (atipRead && !headerOnly &&
      atip::DescriptorLooksValid(ReadDataByte(atip::kDescriptorByte0),
                                 ReadDataByte(atip::kDescriptorByte2))) {
    leadIn = timeAt(kAtipLeadInMsf);
    leadOut = timeAt(kAtipLeadOutMsf);
  } else if (ReadDiscInformation(kDiscInfoLength, 0) != 0) {
    leadIn = timeAt(kDiscInfoLeadInMsf);
    leadOut = timeAt(kDiscInfoLeadOutMsf);
  }
  return which == AtipTime::kLeadIn ? leadIn : leadOut;
}

// The DVD+ identifiers come from the vendor command on a DVD writer with a DVD+ disc, else from
// the physical format information; both reads classify the drive and the disc again.
char* AtapiDevice::ReadDvdPlusId(char* out, uint32_t vendorOffset, uint32_t structureOffset,
                                 uint32_t length) {
  if (out == nullptr) {
    return nullptr;
  }
  out[0] = '\0';
  const DriveType driveType = QueryDriveType();
  const DiscType discType = QueryDiscType();
  uint32_t from = 0;
  if (IsDvdWriter(driveType) && Code(discType) >= Code(DiscType::kDvdPlusRw) &&
      ReadVendorMediaId() != 0) {
    from = vendorOffset;
  } else if (ReadDvdStructure(0, 0, mmc::kDvdFormatPhysical, kPlusIdAnswerLength, 0, 0) != 0) {
    from = structureOffset;
  } else {
    return out;
  }
  for (uint32_t i = 0; i < length; ++i) {
    out[i] = static_cast<char>(ReadDataByte(from + i));
  }
  out[length] = '\0';
  return out;
}

char* AtapiDevice::ReadDvdPlusMediaId(char* out) {
  return ReadDvdPlusId(out, vendor_media_id::kMediaIdOffset, physical_format::kPlusMediaIdOffset,
                       physical_format::kPlusMediaIdLength);
}

char* AtapiDevice::ReadDvdPlusTypeId(char* out) {
  return ReadDvdPlusId(out, vendor_media_id::kTypeIdOffset, physical_format::kPlusTypeIdOffset,
                       physical_format::kPlusTypeIdLength);
}

char* AtapiDevice::ReadDvdMinusMediaId(char* out) {
  if (out == nullptr) {
    return nullptr;
  }
  out[0] = '\0';
  if (ReadDvdStructure(0, 0, mmc::kDvdFormatPrerecorded, kMinusIdAnswerLength, 0, 0) == 0) {
    return out;
  }
  using namespace prerecorded;
  for (uint32_t i = 0; i < kMinusIdHalfLength; ++i) {
    out[i] = static_cast<char>(ReadDataByte(kMinusIdFirstOffset + i));
    out[kMinusIdHalfLength + i] = static_cast<char>(ReadDataByte(kMinusIdSecondOffset + i));
  }
  out[2 * kMinusIdHalfLength] = '\0';
  return out;
}

uint32_t AtapiDevice::QueryCapacityBlocks() {
  if (ReadFormatCapacities(kFormatCapacitiesLength, 0) == 0) {
    return 0;
  }
  const uint32_t listed = ReadDataByte(kCapacityListLength) / kDescriptorSize;
  // Descriptors are looked at only where the drive's answer really put them: within what was
  // asked for and what arrived, never in older contents of the buffer.
  const uint32_t answered = std::min(LastCommand_.Transferred, kFormatCapacitiesLength);
  const uint32_t fitting =
      answered >= kFirstDescriptor ? (answered - kFirstDescriptor) / kDescriptorSize : 0;
  const uint32_t count = std::min(listed, fitting);

  auto blocks = [&](uint32_t k) { return ReadDataBE32(kFirstDescriptor + kDescriptorSize * k); };
  auto typeByte = [&](uint32_t k) {
    return ReadDataByte(kFirstDescriptor + kDescriptorSize * k + kDescriptorTypeByte);
  };

  if ((typeByte(0) & kDescriptorTypeMask) == kUnformattedMedia) {
    return blocks(0);
  }
  for (uint8_t format : kPreferredFormats) {
    for (uint32_t k = 1; k < count; ++k) {
      if ((typeByte(k) >> kFormatTypeShift) == format) {
        return blocks(k);
      }
    }
  }
  return blocks(0);
}

}  // namespace kv
