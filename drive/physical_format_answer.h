// Layout facts of the READ DVD STRUCTURE format 00h answer (physical format information): read by
// the disc queries and the manufacturer lookup, built by the emulated drive.
#pragma once

#include <cstdint>

namespace kv::physical_format {

// 4-byte header (data length in bytes 0-1), then physical format byte n at answer byte 4 + n.
inline constexpr uint32_t kHeaderSize = 4;
inline constexpr uint32_t kBookTypeByte = 4;  // bits 7-4 book type, bits 3-0 part version
inline constexpr uint8_t kBookTypeShift = 4;
inline constexpr uint32_t kLayersByte = 6;  // bits 6-5: number of layers minus one
inline constexpr uint8_t kLayersShift = 5;
inline constexpr uint8_t kLayersMask = 0x03;
// Top byte of the data area's first physical sector: a DVD's data starts at sector 030000h.
inline constexpr uint32_t kFirstSectorTopByte = 9;
inline constexpr uint8_t kDvdFirstSectorTop = 0x03;
// DVD+R and DVD+RW: disc manufacturer identifier (physical format bytes 19-26), media type
// identifier (bytes 27-29) right after it, then the product revision (byte 30).
inline constexpr uint32_t kPlusMediaIdOffset = 23;
inline constexpr uint32_t kPlusMediaIdLength = 8;
inline constexpr uint32_t kPlusTypeIdOffset = 31;
inline constexpr uint32_t kPlusTypeIdLength = 3;
inline constexpr uint32_t kPlusRevisionOffset = 34;

}  // namespace kv::physical_format
