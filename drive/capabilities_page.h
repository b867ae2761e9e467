// Layout of the MODE SENSE (10) answer for page 2Ah (capabilities and mechanical status),
// counted from the first answer byte: the 8-byte mode parameter header comes first.
#pragma once

#include <cstdint>

namespace kv::capabilities {

inline constexpr uint32_t kModeHeaderSize = 8;
inline constexpr uint32_t kPage = kModeHeaderSize;  // page code byte
inline constexpr uint32_t kPageLength = kPage + 1;
inline constexpr uint32_t kReadBits = kPage + 2;
inline constexpr uint32_t kWriteBits = kPage + 3;
inline constexpr uint32_t kBufferSizeKb = kPage + 12;
inline constexpr uint32_t kWriteSpeedDescriptorCount = kPage + 30;
inline constexpr uint32_t kFirstWriteSpeedDescriptor = kPage + 32;
inline constexpr uint32_t kWriteSpeedDescriptorSize = 4;
inline constexpr uint32_t kDescriptorWriteSpeed = 2;  // kB/s, within a descriptor

// Read bits (page byte 2) and write bits (page byte 3).
inline constexpr uint8_t kCdrRead = 0x01;
inline constexpr uint8_t kCdrwRead = 0x02;
inline constexpr uint8_t kDvdRomRead = 0x08;
inline constexpr uint8_t kDvdRRead = 0x10;
inline constexpr uint8_t kDvdRamRead = 0x20;
inline constexpr uint8_t kCdrWrite = 0x01;
inline constexpr uint8_t kCdrwWrite = 0x02;
inline constexpr uint8_t kTestWrite = 0x04;
inline constexpr uint8_t kDvdRWrite = 0x10;
inline constexpr uint8_t kDvdRamWrite = 0x20;

}  // namespace kv::capabilities
