// STUB: replaced by its owner.
#include "drive/atapi_device.h"

namespace kv {

const DriveRecord* AtapiDevice::GetDriveRecord(uint32_t) const { return nullptr; }
bool AtapiDevice::IsDrivePresent(int16_t) const { return false; }
bool AtapiDevice::SelectDrive(int16_t) { return false; }
void AtapiDevice::CloseDrive() {}
void AtapiDevice::SetAddress(DeviceHandle handle, int16_t hostAdapter, int16_t pathId, int16_t target, int16_t lun) {
  DeviceHandle_ = handle;
  CurrentAddress = DriveAddress{hostAdapter, target, lun, pathId};
}

}  // namespace kv
