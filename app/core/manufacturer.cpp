#include "app/core/manufacturer.h"

#include <array>
#include <cstring>
#include <limits>

#include "app/core/disc_family.h"
#include "drive/atapi_device.h"

namespace kv {

namespace {

namespace df = disc_family;

// READ DVD STRUCTURE format 00h (physical format): the DVD+ disc manufacturer identifier (8 bytes)
// and media type identifier (3 bytes) follow each other from answer byte 23.
constexpr uint8_t kFormatPhysical = 0x00;
constexpr uint32_t kPhysicalAllocation = 36;
constexpr uint32_t kPhysicalIdentifierOffset = 23;

// READ DVD STRUCTURE format 0Eh (pre-recorded information): field 3 carries the first six bytes of
// the DVD-R/-RW manufacturer identifier in answer bytes 21-26, field 4 the last six in 29-34.
constexpr uint8_t kFormatPrerecorded = 0x0E;
constexpr uint32_t kPrerecordedAllocation = 50;
constexpr uint32_t kPrerecordedFirstHalf = 21;
constexpr uint32_t kPrerecordedSecondHalf = 29;
constexpr std::size_t kPrerecordedHalfLength = 6;

// The vendor media-identifier answer holds the 11 compared bytes from byte 0.
constexpr uint32_t kVendorIdentifierOffset = 0;

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

const char* FindCdManufacturer(AtapiDevice& device, const UserCdList& userCd, uint8_t discType,
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
  return device.LookupBuiltinManufacturer(discType);
}

Identifier CopyFromDataBuffer(const AtapiDevice& device, uint32_t offset) {
  Identifier id{};
  for (std::size_t i = 0; i < id.size(); ++i) {
    id[i] = device.ReadDataByte(offset + static_cast<uint32_t>(i));
  }
  return id;
}

// Reads the 11 identifier bytes of a DVD from the disc; nullopt when the reads failed.
std::optional<Identifier> FetchDvdIdentifier(AtapiDevice& device, uint8_t discType) {
  uint8_t driveType = device.QueryDriveType();
  if (df::IsDvdPlus(discType)) {
    if (df::IsDvdWriter(driveType) && device.ReadVendorMediaId() != 0) {
      return CopyFromDataBuffer(device, kVendorIdentifierOffset);
    }
    if (device.ReadDvdStructure(0, 0, kFormatPhysical, kPhysicalAllocation, 0, 0) != 0) {
      return CopyFromDataBuffer(device, kPhysicalIdentifierOffset);
    }
    return std::nullopt;
  }
  if (device.ReadDvdStructure(0, 0, kFormatPrerecorded, kPrerecordedAllocation, 0, 0) == 0) {
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

const char* FindDvdManufacturer(AtapiDevice& device, const UserDvdList& userDvd, uint8_t discType,
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
  return device.LookupBuiltinManufacturer(discType);
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
                             const UserDvdList& userDvd, uint8_t discType, int32_t leadIn,
                             int32_t leadOut, const PropertyBlock& block) {
  if (discType == df::kNoMedia) {
    return nullptr;
  }
  if (df::IsCd(discType)) {
    return FindCdManufacturer(device, userCd, discType, leadIn, leadOut, block);
  }
  return FindDvdManufacturer(device, userDvd, discType, block);
}

const char* FindManufacturer(AtapiDevice& device, const UserCdList& userCd,
                             const UserDvdList& userDvd, uint8_t discType, int32_t leadIn,
                             int32_t leadOut) {
  return FindManufacturer(device, userCd, userDvd, discType, leadIn, leadOut, Block());
}

}  // namespace kv
