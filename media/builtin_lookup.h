// Matching of disc identifiers against the built-in manufacturer tables, without a drive.
#pragma once

#include <cstdint>

namespace kv {

// The name of the CD entry whose range holds leadIn, or "Unknown Manufacturer".
const char* MatchBuiltinCdMaker(uint32_t leadIn);

// The name of the first DVD entry that matches identifier (a zero-terminated text), or null. With
// exactPass, an entry whose key equals the identifier wins first; then the first entry whose key
// occurs inside the upper-cased identifier. A null or empty identifier matches nothing.
const char* MatchBuiltinDvdMaker(const char* identifier, bool exactPass);

}  // namespace kv
