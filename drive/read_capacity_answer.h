// Layout of the READ CAPACITY (10) answer.
#pragma once

#include <cstdint>

namespace kv::read_capacity {

inline constexpr uint8_t kOpcode = 0x25;
inline constexpr uint32_t kLastLba = 0;
inline constexpr uint32_t kBlockLength = 4;
inline constexpr uint32_t kSize = 8;

}  // namespace kv::read_capacity
