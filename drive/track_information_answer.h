// Layout of the READ TRACK INFORMATION answer, and the CDB fields that address a track.
#pragma once

#include <cstdint>

namespace kv::track_information {

// CDB: byte 1 address type (1 = track number), bytes 2-5 the track number.
inline constexpr uint8_t kOpcode = 0x52;
inline constexpr uint32_t kCdbAddressType = 1;
inline constexpr uint8_t kAddressTrackNumber = 0x01;
inline constexpr uint32_t kCdbAddress = 2;
inline constexpr uint32_t kCdbAllocationLength = 7;

// Answer.
inline constexpr uint32_t kFreeBlocks = 16;
inline constexpr uint32_t kTrackSize = 24;
inline constexpr uint32_t kMinimumSize = 28;

}  // namespace kv::track_information
