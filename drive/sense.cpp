#include "drive/sense.h"

#include <algorithm>

namespace kv {

namespace {

constexpr std::size_t kResponseCodeOffset = 0;
constexpr uint8_t kResponseCodeMask = 0x7F;  // bit 7 is the VALID bit of the fixed format
constexpr uint8_t kDescriptorCurrent = 0x72;
constexpr uint8_t kDescriptorDeferred = 0x73;
constexpr uint8_t kSenseKeyMask = 0x0F;

// Fixed format (70h/71h): key in byte 2, ASC byte 12, ASCQ byte 13.
constexpr std::size_t kFixedKeyOffset = 2;
constexpr std::size_t kFixedAscOffset = 12;
constexpr std::size_t kFixedAscqOffset = 13;
// Descriptor format (72h/73h): key in byte 1, ASC byte 2, ASCQ byte 3.
constexpr std::size_t kDescriptorKeyOffset = 1;
constexpr std::size_t kDescriptorAscOffset = 2;
constexpr std::size_t kDescriptorAscqOffset = 3;

}  // namespace

SenseFields DecodeSense(const SenseBytes& sense, std::size_t length) {
  const std::size_t written = std::min(length, sense.size());
  auto at = [&](std::size_t offset) -> uint8_t { return offset < written ? sense[offset] : 0; };

  SenseFields fields;
  const uint8_t code = at(kResponseCodeOffset) & kResponseCodeMask;
  if (code == kDescriptorCurrent || code == kDescriptorDeferred) {
    fields.key = at(kDescriptorKeyOffset) & kSenseKeyMask;
    fields.asc = at(kDescriptorAscOffset);
    fields.ascq = at(kDescriptorAscqOffset);
  } else {
    // 70h/71h, and older drives that leave the response code out: the fixed layout.
    fields.key = at(kFixedKeyOffset) & kSenseKeyMask;
    fields.asc = at(kFixedAscOffset);
    fields.ascq = at(kFixedAscqOffset);
  }
  return fields;
}

}  // namespace kv
