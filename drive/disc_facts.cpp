// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

uint32_t AtapiDevice::QueryLayerCount() { return 0; }
uint32_t AtapiDevice::QueryAtipTime(int) { return 0; }
char* AtapiDevice::ReadDvdPlusMediaId(char* out) { return out; }
char* AtapiDevice::ReadDvdPlusTypeId(char* out) { return out; }
char* AtapiDevice::ReadDvdMinusMediaId(char* out) { return out; }
uint32_t AtapiDevice::QueryCapacityBlocks() { return 0; }

}  // namespace kv
