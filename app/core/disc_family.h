// The DiscType and DriveType ranges that the report and the manufacturer lookup branch on.
#pragma once

#include <cstdint>

namespace kv::disc_family {

inline constexpr uint8_t kNoMedia = 0;
inline constexpr uint8_t kUnknown = 1;
inline constexpr uint8_t kCdRom = 2;
inline constexpr uint8_t kFirstCdr = 3;
inline constexpr uint8_t kLastCdr = 10;
inline constexpr uint8_t kFirstCdrw = 11;
inline constexpr uint8_t kLastCdrw = 14;
inline constexpr uint8_t kDvdRom = 15;
inline constexpr uint8_t kFirstDvdMinus = 15;  // DVD-ROM, DVD-RAM, DVD-R, DVD-RW
inline constexpr uint8_t kLastDvdMinus = 18;
inline constexpr uint8_t kDvdPlusRw = 19;
inline constexpr uint8_t kDvdPlusR = 20;

// DriveType codes from here up are DVD writers.
inline constexpr uint8_t kFirstDvdWriterDrive = 5;

constexpr bool IsCd(uint8_t disc) {
  return disc >= kUnknown && disc <= kLastCdrw;
}
constexpr bool IsDvd(uint8_t disc) {
  return disc >= kFirstDvdMinus;
}
constexpr bool IsCdr(uint8_t disc) {
  return disc >= kFirstCdr && disc <= kLastCdr;
}
constexpr bool IsCdrw(uint8_t disc) {
  return disc >= kFirstCdrw && disc <= kLastCdrw;
}
constexpr bool IsDvdPlus(uint8_t disc) {
  return disc == kDvdPlusRw || disc == kDvdPlusR;
}
constexpr bool IsDvdMinusFamily(uint8_t disc) {
  return disc >= kFirstDvdMinus && disc <= kLastDvdMinus;
}
constexpr bool IsDvdWriter(uint8_t drive) {
  return drive >= kFirstDvdWriterDrive;
}

}  // namespace kv::disc_family
