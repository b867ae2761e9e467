// DiscType: the class of the inserted disc as QueryDiscType gives it, and its families.
#pragma once

#include <cstdint>

namespace kv {

enum class DiscType : uint8_t {
  kNoMedia = 0,
  kUnknown = 1,
  kCdRom = 2,
  kCdr = 3,      // ATIP sub-type 0
  kCdrSub1 = 4,  // ATIP sub-type 1
  kCdrAMinus = 5,
  kCdrAPlus = 6,
  kCdrBMinus = 7,
  kCdrBPlus = 8,
  kCdrCMinus = 9,
  kCdrCPlus = 10,  // ATIP sub-type 7
  kCdRwNormal = 11,
  kCdRwHighSpeed = 12,
  kCdRwUltraSpeed24 = 13,
  kCdRwUltraSpeed32 = 14,
  kDvdRom = 15,
  kDvdRam = 16,
  kDvdMinusR = 17,
  kDvdMinusRw = 18,
  kDvdPlusRw = 19,
  kDvdPlusR = 20,
};

// The highest code the queries give; the name table ends here.
inline constexpr DiscType kLastDiscType = DiscType::kDvdPlusR;

constexpr uint8_t Code(DiscType disc) {
  return static_cast<uint8_t>(disc);
}

// CD-ROM, recordable and rewritable CDs.
constexpr bool IsCdFamily(DiscType disc) {
  return Code(disc) >= Code(DiscType::kCdRom) && Code(disc) <= Code(DiscType::kCdRwUltraSpeed32);
}
// The eight CD-R classes, one per ATIP sub-type.
constexpr bool IsCdRecordable(DiscType disc) {
  return Code(disc) >= Code(DiscType::kCdr) && Code(disc) <= Code(DiscType::kCdrCPlus);
}
// The four CD-RW classes, one per ATIP sub-type 0-3.
constexpr bool IsCdRewritable(DiscType disc) {
  return Code(disc) >= Code(DiscType::kCdRwNormal) &&
         Code(disc) <= Code(DiscType::kCdRwUltraSpeed32);
}
// Every code from DVD-ROM up reads as a DVD.
constexpr bool IsDvdFamily(DiscType disc) {
  return Code(disc) >= Code(DiscType::kDvdRom);
}
// DVD-ROM, DVD-RAM, DVD-R and DVD-RW: identified by the pre-recorded information.
constexpr bool IsDvdMinusFamily(DiscType disc) {
  return Code(disc) >= Code(DiscType::kDvdRom) && Code(disc) <= Code(DiscType::kDvdMinusRw);
}
// DVD+RW and DVD+R: identified by the physical format's identifiers.
constexpr bool IsDvdPlusFamily(DiscType disc) {
  return disc == DiscType::kDvdPlusRw || disc == DiscType::kDvdPlusR;
}

}  // namespace kv
