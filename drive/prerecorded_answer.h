// Layout facts of the READ DVD STRUCTURE format 0Eh answer (pre-recorded information in lead-in)
// of DVD-R and DVD-RW discs: read by the disc queries and the manufacturer lookup, built by the
// emulated drive.
#pragma once

#include <cstdint>

namespace kv::prerecorded {

// 4-byte header, then 8-byte fields, each opening with its field identifier.
inline constexpr uint32_t kHeaderSize = 4;
inline constexpr uint32_t kFieldSize = 8;
inline constexpr uint32_t kFieldCount = 5;
constexpr uint32_t FieldOffset(uint32_t field) {
  return kHeaderSize + (field - 1) * kFieldSize;
}
// The 12-byte manufacturer identifier: its first six bytes in field 3, the last six in field 4,
// each after the field identifier.
inline constexpr uint32_t kMinusIdHalfLength = 6;
inline constexpr uint32_t kMinusIdFirstOffset = FieldOffset(3) + 1;   // bytes 21-26
inline constexpr uint32_t kMinusIdSecondOffset = FieldOffset(4) + 1;  // bytes 29-34
static_assert(kMinusIdFirstOffset == 21 && kMinusIdSecondOffset == 29);

}  // namespace kv::prerecorded
