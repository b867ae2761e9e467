// Layout of the GET PERFORMANCE type 3 (write speed) answer.
#pragma once

#include <cstdint>

namespace kv::performance {

// 8-byte header: bytes 0-3 the data length (bytes after this field).
inline constexpr uint32_t kDataLength = 0;
inline constexpr uint32_t kHeaderSize = 8;
// 16-byte write speed descriptors from byte 8.
inline constexpr uint32_t kDescriptorSize = 16;
inline constexpr uint32_t kEndLba = 4;       // within a descriptor
inline constexpr uint32_t kReadSpeed = 8;    // kB/s
inline constexpr uint32_t kWriteSpeed = 12;  // kB/s

}  // namespace kv::performance
