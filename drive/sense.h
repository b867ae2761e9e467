// Decoding of the sense data a drive returns with a check condition.
#pragma once

#include <cstddef>
#include <cstdint>

#include "drive/platform.h"

namespace kv {

struct SenseFields {
  uint8_t key = 0;
  uint8_t asc = 0;
  uint8_t ascq = 0;
};

// Reads key, ASC and ASCQ from the first `length` bytes of a sense area, in fixed format (response
// codes 70h/71h, with or without the valid bit) or descriptor format (72h/73h). Bytes past `length`
// count as 0, so an area into which nothing was written gives sense key 0.
SenseFields DecodeSense(const SenseBytes& sense, std::size_t length);

}  // namespace kv
