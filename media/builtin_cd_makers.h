// The built-in table of CD media manufacturers, keyed by the ATIP lead-in start time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kv {

struct BuiltinCdMakerEntry {
  uint32_t key;  // first lead-in time of the range: minutes * 10000 + seconds * 100 + frames
  char name[48];
};

// Entry i covers the lead-in times from its key up to, not including, the key of entry i + 1.
inline constexpr std::size_t kBuiltinCdMakerCount = 128;
// After the ranged entries comes one closing entry: the upper bound of the last range, and the
// name for a time that no range holds.
inline constexpr std::size_t kBuiltinCdTableSize = kBuiltinCdMakerCount + 1;
inline constexpr uint32_t kBuiltinCdClosingKey = 995974;

extern const BuiltinCdMakerEntry BuiltinCdMakers[kBuiltinCdTableSize];

}  // namespace kv
