#include "media/builtin_lookup.h"

#include <cstring>
#include <string>

#include "drive/atapi_device.h"
#include "media/builtin_cd_makers.h"
#include "media/builtin_dvd_makers.h"

namespace kv {

namespace {

constexpr int32_t kReadyWaitSeconds = 60;
constexpr int kAtipLeadIn = 1;

// DiscType codes.
constexpr uint8_t kNoDisc = 0;
constexpr uint8_t kUnknownDisc = 1;
constexpr uint8_t kFirstDvdDisc = 15;
constexpr uint8_t kDvdPlusRw = 19;
constexpr uint8_t kDvdPlusR = 20;

// The drive fills at most 12 identifier bytes and a zero.
constexpr std::size_t kIdentifierBuffer = 16;

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

const char* AtapiDevice::LookupBuiltinManufacturer(uint8_t discType) {
  WaitUntilReady(kReadyWaitSeconds);
  if (discType == kNoDisc || discType == kUnknownDisc) {
    return nullptr;
  }
  if (discType < kFirstDvdDisc) {
    return LookupCdManufacturer(QueryAtipTime(kAtipLeadIn));
  }
  if (discType > kDvdPlusR) {
    return nullptr;  // no such disc class; nothing to read
  }
  char identifier[kIdentifierBuffer] = {};
  if (discType == kDvdPlusRw || discType == kDvdPlusR) {
    ReadDvdPlusMediaId(identifier);
    identifier[kIdentifierBuffer - 1] = '\0';
    return MatchBuiltinDvdMaker(identifier, true);
  }
  ReadDvdMinusMediaId(identifier);
  identifier[kIdentifierBuffer - 1] = '\0';
  return MatchBuiltinDvdMaker(identifier, false);
}

const char* AtapiDevice::LookupCdManufacturer(uint32_t leadIn) {
  return MatchBuiltinCdMaker(leadIn);
}

}  // namespace kv
