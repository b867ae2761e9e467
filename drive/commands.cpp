// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

uint8_t AtapiDevice::TestUnitReady() { return 0; }
uint8_t AtapiDevice::Inquiry(uint8_t, uint8_t, uint8_t, uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::ModeSense10(uint8_t, uint8_t, uint8_t, uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::GetConfiguration(uint8_t, uint32_t, uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::GetPerformance(uint8_t, uint32_t, uint32_t, uint8_t, uint8_t, uint32_t) { return 0; }
uint8_t AtapiDevice::ReadDiscInformation(uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::ReadDvdStructure(uint32_t, uint8_t, uint8_t, uint32_t, uint8_t, uint8_t) { return 0; }
uint8_t AtapiDevice::ReadFormatCapacities(uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::ReadTocPmaAtip(uint8_t, uint8_t, uint8_t, uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::SetCdSpeed(uint8_t, uint32_t, uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::SetStreaming(uint32_t, uint8_t) { return 0; }
uint8_t AtapiDevice::ReadVendorMediaId() { return 0; }
bool AtapiDevice::LastSenseIs(uint8_t, uint8_t) const { return false; }
bool AtapiDevice::LastSenseKeyIs(uint8_t) const { return false; }

}  // namespace kv
