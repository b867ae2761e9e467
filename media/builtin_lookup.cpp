// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

const char* AtapiDevice::LookupBuiltinManufacturer(uint8_t) { return nullptr; }
const char* AtapiDevice::LookupCdManufacturer(uint32_t) { return "Unknown Manufacturer"; }

}  // namespace kv
