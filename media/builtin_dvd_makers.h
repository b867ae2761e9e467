// The built-in table of DVD media manufacturers, keyed by the identifier recorded on the disc.
#pragma once

#include <cstddef>

namespace kv {

struct BuiltinDvdMakerEntry {
  char key[9];     // upper-case identifier text
  char typeId[4];  // media type identifier; empty in every entry and not consulted
  char name[48];
};

inline constexpr std::size_t kBuiltinDvdMakerCount = 48;

// Searched in this stored order; the first match wins.
extern const BuiltinDvdMakerEntry BuiltinDvdMakers[kBuiltinDvdMakerCount];

}  // namespace kv
