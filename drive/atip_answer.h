// Layout facts of the READ TOC/PMA/ATIP format 4 answer shared by the disc queries.
#pragma once

#include <cstdint>

namespace kv::atip {

// 4-byte header (data length in bytes 0-1), then the ATIP descriptor from byte 4.
inline constexpr uint32_t kLengthHigh = 0;
inline constexpr uint32_t kLengthLow = 1;
inline constexpr uint32_t kHeaderSize = 4;
// The data length of an answer that holds the header alone.
inline constexpr uint32_t kHeaderOnlyDataLength = 2;
inline constexpr uint32_t kDescriptorByte0 = 4;  // writing power, reference speed
inline constexpr uint32_t kDescriptorByte2 = 6;  // disc type, disc sub-type
inline constexpr uint8_t kFixedOneBit = 0x80;    // bit 7 of descriptor bytes 0 and 2
inline constexpr uint8_t kDiscTypeRewritable = 0x40;
inline constexpr uint8_t kSubTypeShift = 3;
inline constexpr uint8_t kSubTypeMask = 0x07;
inline constexpr uint32_t kLeadInMsf = 8;    // start time of lead-in, M S F
inline constexpr uint32_t kLeadOutMsf = 12;  // last possible start time of lead-out, M S F

// Descriptor bytes 0 and 2 carry a bit 7 fixed to 1; a drive that answers a pressed CD with
// something else has sent no real ATIP.
inline constexpr bool DescriptorLooksValid(uint8_t byte0, uint8_t byte2) {
  return (byte0 & kFixedOneBit) != 0 && (byte2 & kFixedOneBit) != 0;
}

}  // namespace kv::atip
