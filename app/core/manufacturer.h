// Manufacturer identification: names the probable maker of the inserted disc from the user lists,
// the property block's tables and, last, the built-in tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "drive/disc_type.h"
#include "media/property_block.h"
#include "media/user_database.h"

namespace kv {

class AtapiDevice;

// Replaces, in place, each of the first count bytes below 20h or at or above 7Fh by '.'; returns
// buffer. Used on a copy of an identifier so the raw bytes still reach the hexadecimal columns.
char* MakePrintable(char* buffer, std::size_t count);

// A record's time text as a signed 64-bit number: optional sign, then decimal digits only.
// Empty text, letters, stray characters and overflow give nullopt (the record does not match).
std::optional<int64_t> ParseRecordNumber(const char* text, std::size_t maxLength);

// Compares the first 11 identifier bytes, letters A to Z without regard to case, every other byte
// (zero included) exactly.
inline constexpr std::size_t kComparedIdentifierBytes = 11;
bool IdentifierEquals(const uint8_t* recordIdentifier, const uint8_t* discIdentifier);

// A DVD record whose 60 bytes are all zero was never filled; it names no disc.
bool IsEmptyDvdRecord(const DvdMediaRecord& record);

// The name of the maker, or null when no source knows the disc. The name points into a record or a
// built-in table; the caller does not own it. leadIn and leadOut are the CD times as QueryAtipTime
// returned them (0 and 0 for a DVD). block is the property block whose tables are searched.
const char* FindManufacturer(AtapiDevice& device, const UserCdList& userCd,
                             const UserDvdList& userDvd, DiscType discType, int32_t leadIn,
                             int32_t leadOut, const PropertyBlock& block);

// The same on the running program's block.
const char* FindManufacturer(AtapiDevice& device, const UserCdList& userCd,
                             const UserDvdList& userDvd, DiscType discType, int32_t leadIn,
                             int32_t leadOut);

}  // namespace kv
