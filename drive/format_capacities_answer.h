// Layout facts of the READ FORMAT CAPACITIES answer: read by the capacity query, built by the
// emulated drive.
#pragma once

#include <cstdint>

namespace kv::format_capacities {

// 4-byte capacity list header, capacity list length (byte 3) in bytes; then 8-byte descriptors,
// the current/maximum capacity descriptor first, the formattable capacity descriptors after it.
inline constexpr uint32_t kCapacityListLength = 3;
inline constexpr uint32_t kFirstDescriptor = 4;
inline constexpr uint32_t kDescriptorSize = 8;
// The capacity list length is one byte, so at most this many descriptors fit.
inline constexpr uint32_t kMaxDescriptors = 255 / kDescriptorSize;
constexpr uint32_t DescriptorOffset(uint32_t k) {
  return kFirstDescriptor + k * kDescriptorSize;
}
// Within a descriptor: number of blocks (bytes 0-3), type (byte 4), block length or type
// dependent parameter (bytes 5-7).
inline constexpr uint32_t kBlocks = 0;
inline constexpr uint32_t kDescriptorTypeByte = 4;
inline constexpr uint32_t kParameter = 5;
// Descriptor 0 has its descriptor type in bits 1-0 of the type byte; the formattable ones their
// format type in bits 7-2.
inline constexpr uint8_t kDescriptorTypeMask = 0x03;
inline constexpr uint8_t kUnformattedMedia = 1;
inline constexpr uint8_t kFormattedMedia = 2;
inline constexpr uint8_t kFormatTypeShift = 2;
static_assert(kMaxDescriptors == 31);

}  // namespace kv::format_capacities
