// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

bool AtapiDevice::WaitUntilReady(int32_t) { return true; }
void AtapiDevice::ClearUnitAttention() {}

}  // namespace kv
