// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

uint32_t AtapiDevice::ReadDataBE32(uint32_t) const { return 0; }
uint16_t AtapiDevice::ReadDataBE16(uint32_t) const { return 0; }
uint8_t AtapiDevice::ReadDataByte(uint32_t) const { return 0; }
void AtapiDevice::WriteParamBE32(uint32_t, uint32_t) {}

}  // namespace kv
