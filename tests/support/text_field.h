// Copies test text into the fixed-width character fields of records.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace kv::test {

// At most limit characters (default: leave room for the terminating zero); the rest of the field
// keeps its bytes.
template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text, std::size_t limit = N - 1) {
  std::memcpy(field, text.data(), std::min({text.size(), limit, N}));
}

}  // namespace kv::test
