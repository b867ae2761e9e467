// Layout facts of the MODE SENSE (10) answer for page 2Ah (CD/DVD capabilities and mechanical
// status): read by the drive and speed queries, built by the emulated drive.
#pragma once

#include <cstdint>

namespace kv::capabilities_page {

// 8-byte mode parameter header (10): mode data length (bytes 0-1, the bytes after this field),
// medium type (byte 2), block descriptor length (bytes 6-7); no block descriptors follow.
inline constexpr uint32_t kModeDataLength = 0;
inline constexpr uint32_t kMediumTypeByte = 2;
inline constexpr uint32_t kBlockDescriptorLength = 6;
inline constexpr uint32_t kModeHeaderSize = 8;
// Page byte n at answer byte 8 + n.
constexpr uint32_t PageByte(uint32_t n) {
  return kModeHeaderSize + n;
}
inline constexpr uint32_t kPageCodeByte = PageByte(0);
inline constexpr uint32_t kPageLengthByte = PageByte(1);  // the page bytes after this one
inline constexpr uint32_t kReadCapabilityByte = PageByte(2);
inline constexpr uint8_t kCdrReadBit = 0x01;
inline constexpr uint8_t kCdrwReadBit = 0x02;
inline constexpr uint8_t kMethod2ReadBit = 0x04;
inline constexpr uint8_t kDvdRomReadBit = 0x08;
inline constexpr uint8_t kDvdRReadBit = 0x10;
inline constexpr uint8_t kDvdRamReadBit = 0x20;
inline constexpr uint32_t kWriteCapabilityByte = PageByte(3);
inline constexpr uint8_t kCdrWriteBit = 0x01;
inline constexpr uint8_t kCdrwWriteBit = 0x02;
inline constexpr uint8_t kTestWriteBit = 0x04;
inline constexpr uint8_t kDvdRWriteBit = 0x10;
inline constexpr uint8_t kDvdRamWriteBit = 0x20;
inline constexpr uint32_t kMaxReadSpeed = PageByte(8);       // obsolete, kB/s
inline constexpr uint32_t kBufferSize = PageByte(12);        // kB
inline constexpr uint32_t kCurrentReadSpeed = PageByte(14);  // obsolete, kB/s
inline constexpr uint32_t kMaxWriteSpeed = PageByte(18);     // obsolete, kB/s
inline constexpr uint32_t kObsoleteCurrentWriteSpeed = PageByte(20);
inline constexpr uint32_t kCurrentWriteSpeed = PageByte(28);  // current write speed selected, kB/s
inline constexpr uint32_t kDescriptorCount = PageByte(30);    // write speed descriptors that follow
// 4-byte write speed descriptors after the 32 fixed page bytes: rotation control (byte 1),
// write speed in kB/s (bytes 2-3).
inline constexpr uint32_t kFixedPageSize = 32;
inline constexpr uint32_t kDescriptorSize = 4;
inline constexpr uint32_t kDescriptorRotationByte = 1;
inline constexpr uint32_t kDescriptorWriteSpeed = 2;
constexpr uint32_t DescriptorOffset(uint32_t k) {
  return PageByte(kFixedPageSize) + k * kDescriptorSize;
}
// The page length is one byte, so at most this many descriptors fit.
inline constexpr uint32_t kMaxDescriptors = (255 + 2 - kFixedPageSize) / kDescriptorSize;
static_assert(kReadCapabilityByte == 10 && kWriteCapabilityByte == 11 && kCurrentWriteSpeed == 36);
static_assert(kMaxDescriptors == 56);

}  // namespace kv::capabilities_page
