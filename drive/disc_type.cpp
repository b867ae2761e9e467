// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

uint8_t AtapiDevice::QueryDiscType() { return 0; }

}  // namespace kv
