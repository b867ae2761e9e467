#include "app/core/manufacturer.h"

#include <array>
#include <cstring>
#include <limits>

#include "app/core/builtin_manufacturer.h"
#include "drive/atapi_device.h"
#include "drive/mmc.h"
#include "drive/physical_format_answer.h"
#include "drive/prerecorded_answer.h"
#include "drive/vendor_media_id_answer.h"

namespace kv {

namespace {

// The 11 compared bytes of a DVD+ disc are its manufacturer and media type identifiers, which
// follow each other in both the vendor answer and the physical format information.
constexpr uint32_t kPhysicalAllocation = 36;
constexpr uint32_t kVendorIdentifierOffset = vendor_media_id::kMediaIdOffset;
constexpr uint32_t kPhysicalIdentifierOffset = physical_format::kPlusMediaIdOffset;
static_assert(physical_format::kPlusTypeIdOffset ==
              physical_format::kPlusMediaIdOffset + physical_format::kPlusMediaIdLength);
static_assert(vendor_media_id::kTypeIdOffset ==
              vendor_media_id::kMediaIdOffset + vendor_media_id::kMediaIdLength);

constexpr uint32_t kPrerecordedAllocation = 50;
constexpr uint32_t kPrerecordedFirstHalf = prerecorded::kMinusIdFirstOffset;
constexpr uint32_t kPrerecordedSecondHalf = prerecorded::kMinusIdSecondOffset;
constexpr std::size_t kPrerecordedHalfLength = prerecorded::kMinusIdHalfLength;

constexpr std::size_t kLeadInOffset = offsetof(CdMediaRecord, LeadIn);
constexpr std::size_t kLeadOutOffset = offsetof(CdMediaRecord, LeadOut);

using Identifier = std::array<uint8_t, kComparedIdentifierBytes>;

uint8_t FoldLetter(uint8_t c) {
  return (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 32) : c;
}

// A record's text from the given offset, bounded by the record's end.
std::optional<int64_t> RecordTime(const CdMediaRecord& record, std::size_t offset) {
  const char* bytes = reinterpret_cast<const char*>(&record);
  return ParseRecordNumber(bytes + offset, sizeof(CdMediaRecord) - offset);
}

bool TimeEquals(const CdMediaRecord& record, std::size_t offset, int32_t time) {
  std::optional<int64_t> value = RecordTime(record, offset);
  return value && *value == time;
}

bool BothTimesEqual(const CdMediaRecord& record, int32_t leadIn, int32_t leadOut) {
  return TimeEquals(record, kLeadInOffset, leadIn) && TimeEquals(record, kLeadOutOffset, leadOut);
}

const char* FindCdManufacturer(AtapiDevice& device, const UserCdList& userCd, DiscType discType,
                               int32_t leadIn, int32_t leadOut, const PropertyBlock& block) {
  for (const auto& record : userCd) {
    if (record && BothTimesEqual(*record, leadIn, leadOut)) {
      return record->Name;
    }
  }
  for (const CdMediaRecord& record : block.CdTable) {
    if (record.LeadIn[0] == '\0') {
      break;
    }
    if (BothTimesEqual(record, leadIn, leadOut)) {
      return record.Name;
    }
  }
  for (const CdMediaRecord& record : block.CdTable) {
    if (record.LeadIn[0] == '\0') {
      break;
    }
    if (TimeEquals(record, kLeadInOffset, leadIn)) {
      return record.Name;
    }
  }
  return LookupBuiltinManufacturer(device, discType);
}

Identifier CopyFromDataBuffer(const AtapiDevice& device, uint32_t offset) {
  Identifier id{};
  for (std::size_t i = 0; i < id.size(); ++i) {
    id[i] = device.ReadDataByte(offset + static_cast<uint32_t>(i));
  }
  return id;
}

// Reads the 11 identifier bytes of a DVD from the disc; nullopt when the reads failed.
std::optional<Identifier> FetchDvdIdentifier(AtapiDevice& device, DiscType discType) {
  DriveType driveType = device.QueryDriveType();
  if (IsDvdPlusFamily(discType)) {
    if (IsDvdWriter(driveType) && device.ReadVendorMediaId() != 0) {
      return CopyFromDataBuffer(device, kVendorIdentifierOffset);
    }
    if (device.ReadDvdStructure(0, 0, mmc::kDvdFormatPhysical, kPhysicalAllocation, 0, 0) != 0) {
      return CopyFromDataBuffer(device, kPhysicalIdentifierOffset);
    }
    return std::nullopt;
  }
  if (device.ReadDvdStructure(0, 0, mmc::kDvdFormatPrerecorded, kPrerecordedAllocation, 0, 0) ==
      0) {
    return std::nullopt;
  }
  // The two halves are joined at the start of the data buffer, where the comparison reads them.
  std::array<uint8_t, 2 * kPrerecordedHalfLength> joined{};
  for (std::size_t i = 0; i < kPrerecordedHalfLength; ++i) {
    joined[i] = device.ReadDataByte(kPrerecordedFirstHalf + static_cast<uint32_t>(i));
    joined[kPrerecordedHalfLength + i] =
        device.ReadDataByte(kPrerecordedSecondHalf + static_cast<uint32_t>(i));
  }
  uint8_t* buffer = device.GetDataBuffer();
  if (buffer != nullptr) {
    std::memcpy(buffer, joined.data(), joined.size());
  }
  Identifier id{};
  std::memcpy(id.data(), joined.data(), id.size());
  return id;
}

const char* FindDvdManufacturer(AtapiDevice& device, const UserDvdList& userDvd, DiscType discType,
                                const PropertyBlock& block) {
  std::optional<Identifier> id = FetchDvdIdentifier(device, discType);
  if (id) {
    for (const auto& record : userDvd) {
      if (record && !IsEmptyDvdRecord(*record) &&
          IdentifierEquals(record->Identifier, id->data())) {
        return record->Name;
      }
    }
    for (const DvdMediaRecord& record : block.DvdTable) {
      if (!IsEmptyDvdRecord(record) && IdentifierEquals(record.Identifier, id->data())) {
        return record.Name;
      }
    }
  }
  return LookupBuiltinManufacturer(device, discType);
}

}  // namespace

char* MakePrintable(char* buffer, std::size_t count) {
  constexpr uint8_t kFirstPrintable = 0x20;
  constexpr uint8_t kFirstUnprintable = 0x7F;
  if (buffer == nullptr) {
    return buffer;
  }
  for (std::size_t i = 0; i < count; ++i) {
    auto c = static_cast<uint8_t>(buffer[i]);
    if (c < kFirstPrintable || c >= kFirstUnprintable) {
      buffer[i] = '.';
    }
  }
  return buffer;
}

std::optional<int64_t> ParseRecordNumber(const char* text, std::size_t maxLength) {
  if (text == nullptr) {
    return std::nullopt;
  }
  std::size_t length = strnlen(text, maxLength);
  std::size_t pos = 0;
  bool negative = false;
  if (pos < length && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  if (pos == length) {
    return std::nullopt;
  }
  // Accumulated as a negative number so that the minimum value still fits.
  int64_t value = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; pos < length; ++pos) {
    char c = text[pos];
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    int digit = c - '0';
    if (value < (kMin + digit) / 10) {
      return std::nullopt;
    }
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value == kMin) {
      return std::nullopt;
    }
    value = -value;
  }
  return value;
}

bool IdentifierEquals(const uint8_t* recordIdentifier, const uint8_t* discIdentifier) {
  for (std::size_t i = 0; i < kComparedIdentifierBytes; ++i) {
    if (FoldLetter(recordIdentifier[i]) != FoldLetter(discIdentifier[i])) {
      return false;
    }
  }
  return true;
}

bool IsEmptyDvdRecord(const DvdMediaRecord& record) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  for (std::size_t i = 0; i < sizeof(DvdMediaRecord); ++i) {
    if (bytes[i] != 0) {
      return false;
    }
  }
  return true;
}

const char* FindManufacturer(AtapiDevice& device, const UserCdList& userCd,
                             const UserDvdList& userDvd, DiscType discType, int32_t leadIn,
                             int32_t leadOut, const PropertyBlock& block) {
  if (discType == DiscType::kNoMedia) {
    return nullptr;
  }
  // An unrecognised disc goes the CD way, as every code below the DVDs does.
  if (!IsDvdFamily(discType)) {
    return FindCdManufacturer(device, userCd, discType, leadIn, leadOut, block);
  }
  return FindDvdManufacturer(device, userDvd, discType, block);
}

const char* FindManufacturer(AtapiDevice& device, const UserCdList& userCd,
                             const UserDvdList& userDvd, DiscType discType, int32_t leadIn,
                             int32_t leadOut) {
  return FindManufacturer(device, userCd, userDvd, discType, leadIn, leadOut, Block());
}

}  // namespace kv
