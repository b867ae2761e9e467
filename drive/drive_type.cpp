// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

uint8_t AtapiDevice::QueryDriveType() { return 0; }
const char* AtapiDevice::CurrentDriveTypeName() { return DriveTypeName(QueryDriveType()); }
const char* AtapiDevice::DriveTypeName(uint8_t) { return "UNKNOWN  "; }
const char* AtapiDevice::DiscTypeName(uint8_t) { return "UNKNOWN              "; }
bool AtapiDevice::IsCdWriter() { return false; }

}  // namespace kv
