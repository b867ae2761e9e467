// Layout facts of the GET PERFORMANCE answer for type 03h (write speed descriptors): read by the
// speed queries, built by the emulated drive.
#pragma once

#include <cstdint>

namespace kv::performance {

// 8-byte header: performance data length (bytes 0-3, the bytes after this field), Write and
// Except (byte 4); then 16-byte descriptors. Header and descriptor size are those of every type.
inline constexpr uint32_t kDataLength = 0;
inline constexpr uint32_t kDataLengthSize = 4;
inline constexpr uint32_t kFlagsByte = 4;
inline constexpr uint32_t kHeaderSize = 8;
inline constexpr uint32_t kDescriptorSize = 16;
// Within a write speed descriptor: WRC, RDD, Exact, MRW (byte 0), end LBA (bytes 4-7), read speed
// (bytes 8-11) and write speed (bytes 12-15) in kB/s.
inline constexpr uint32_t kDescriptorFlagsByte = 0;
inline constexpr uint32_t kEndLba = 4;
inline constexpr uint32_t kReadSpeed = 8;
inline constexpr uint32_t kWriteSpeed = 12;
constexpr uint32_t DescriptorOffset(uint32_t k) {
  return kHeaderSize + k * kDescriptorSize;
}
inline constexpr uint32_t kFirstEndLba = DescriptorOffset(0) + kEndLba;
inline constexpr uint32_t kFirstReadSpeed = DescriptorOffset(0) + kReadSpeed;
inline constexpr uint32_t kFirstWriteSpeed = DescriptorOffset(0) + kWriteSpeed;
inline constexpr uint32_t kFirstDescriptorEnd = DescriptorOffset(1);
static_assert(kFirstEndLba == 12 && kFirstReadSpeed == 16 && kFirstWriteSpeed == 20);
static_assert(kFirstDescriptorEnd == 24);

}  // namespace kv::performance
