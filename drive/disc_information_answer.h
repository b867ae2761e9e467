// Layout of the READ DISC INFORMATION answer (standard disc information, type 000b).
#pragma once

#include <cstdint>

namespace kv::disc_information {

inline constexpr uint32_t kLength = 0;  // bytes after this 2-byte field
inline constexpr uint32_t kStatus = 2;
inline constexpr uint8_t kDiscStatusMask = 0x03;  // 0 blank, 1 incomplete, 2 complete, 3 other
inline constexpr uint8_t kLastSessionShift = 2;
inline constexpr uint8_t kLastSessionMask = 0x03;
inline constexpr uint32_t kSessionsLow = 4;
inline constexpr uint32_t kLastTrackInLastSessionLow = 6;
inline constexpr uint32_t kSessionsHigh = 9;
inline constexpr uint32_t kLastTrackInLastSessionHigh = 11;
inline constexpr uint32_t kMinimumSize = 12;

}  // namespace kv::disc_information
