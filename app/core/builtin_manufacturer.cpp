#include "app/core/builtin_manufacturer.h"

#include <cstddef>

#include "drive/atapi_device.h"
#include "media/builtin_lookup.h"

namespace kv {

namespace {

constexpr int32_t kReadyWaitSeconds = 60;

// The drive fills at most 12 identifier bytes and a zero.
constexpr std::size_t kIdentifierBuffer = 16;

}  // namespace

const char* LookupBuiltinManufacturer(AtapiDevice& device, DiscType discType) {
  device.WaitUntilReady(kReadyWaitSeconds);
  if (IsCdFamily(discType)) {
    return LookupCdManufacturer(device.QueryAtipTime(AtipTime::kLeadIn));
  }
  char identifier[kIdentifierBuffer] = {};
  if (IsDvdPlusFamily(discType)) {
    device.ReadDvdPlusMediaId(identifier);
    identifier[kIdentifierBuffer - 1] = '\0';
    return MatchBuiltinDvdMaker(identifier, true);
  }
  if (IsDvdMinusFamily(discType)) {
    device.ReadDvdMinusMediaId(identifier);
    identifier[kIdentifierBuffer - 1] = '\0';
    return MatchBuiltinDvdMaker(identifier, false);
  }
  return nullptr;  // no disc, an unrecognised one, or no such class: nothing to read
}

const char* LookupCdManufacturer(uint32_t leadIn) {
  return MatchBuiltinCdMaker(leadIn);
}

}  // namespace kv
