#include "media/builtin_lookup.h"

#include <cstring>
#include <string>

#include "media/builtin_cd_makers.h"
#include "media/builtin_dvd_makers.h"

namespace kv {

namespace {

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

const char* MatchBuiltinCdMaker(uint32_t leadIn) {
  for (std::size_t i = 0; i < kBuiltinCdMakerCount; ++i) {
    if (BuiltinCdMakers[i].key <= leadIn && leadIn < BuiltinCdMakers[i + 1].key) {
      return BuiltinCdMakers[i].name;
    }
  }
  return BuiltinCdMakers[kBuiltinCdMakerCount].name;
}

const char* MatchBuiltinDvdMaker(const char* identifier, bool exactPass) {
  if (identifier == nullptr || identifier[0] == '\0') {
    return nullptr;
  }
  if (exactPass) {
    for (const BuiltinDvdMakerEntry& entry : BuiltinDvdMakers) {
      if (std::strcmp(entry.key, identifier) == 0) {
        return entry.name;
      }
    }
  }
  // Only ASCII letters change case; other bytes are compared as they are.
  std::string upper(identifier);
  for (char& c : upper) {
    c = UpperAscii(c);
  }
  for (const BuiltinDvdMakerEntry& entry : BuiltinDvdMakers) {
    if (upper.find(entry.key) != std::string::npos) {
      return entry.name;
    }
  }
  return nullptr;
}

}  // namespace kv
