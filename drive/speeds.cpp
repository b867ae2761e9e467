// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

double AtapiDevice::QueryMaxWriteSpeed() { return 0; }
bool AtapiDevice::SetMaximumStreaming() { return false; }
uint32_t AtapiDevice::QueryCurrentWriteSpeed() { return 0; }

}  // namespace kv
