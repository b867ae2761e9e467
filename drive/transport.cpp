// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

uint8_t AtapiDevice::ExecuteCommand(const uint8_t*, uint8_t, uint32_t) { return 0; }

}  // namespace kv
