// DriveType: the drive's class as QueryDriveType gives it, and the ranges other layers test.
#pragma once

#include <cstdint>

namespace kv {

enum class DriveType : uint8_t {
  kUnknown = 0,
  kCdRom = 1,
  kDvdRom = 2,
  kCdRw = 3,
  kCombo = 4,
  kDvdMinusR = 5,
  kDvdPlusR = 6,
  kDvdPlusRw = 7,  // named, but no answer classifies a drive so
  kDvdMinusRw = 8,
  kDvdPlusRPlusRw = 9,
  kDvdMinusRMinusRw = 10,
  kDvdDual = 11,
};

// The highest code the queries give; the name table ends here.
inline constexpr DriveType kLastDriveType = DriveType::kDvdDual;

constexpr uint8_t Code(DriveType drive) {
  return static_cast<uint8_t>(drive);
}

// CD-RW and every class after it in the table.
constexpr bool IsCdRwOrAbove(DriveType drive) {
  return Code(drive) >= Code(DriveType::kCdRw);
}
// Every code from DVD-R up is a DVD writer.
constexpr bool IsDvdWriter(DriveType drive) {
  return Code(drive) >= Code(DriveType::kDvdMinusR);
}

}  // namespace kv
