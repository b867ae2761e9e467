// Drive selection and the drive table accessors.
#include <cstring>

#include "drive/atapi_device.h"

namespace kv {

namespace {

template <std::size_t N>
void CopyText(char (&to)[N], const char (&from)[N]) {
  std::memcpy(to, from, N);
  to[N - 1] = '\0';
}

}  // namespace

const DriveRecord* AtapiDevice::GetDriveRecord(uint32_t index) const {
  if (index >= DriveCount || index >= static_cast<uint32_t>(kMaxDrives) ||
      Drives[index].Present == 0) {
    return nullptr;
  }
  return &Drives[index];
}

bool AtapiDevice::IsDrivePresent(int16_t index) const {
  if (index < 0 || index >= kMaxDrives) {
    return false;
  }
  return Drives[index].Present != 0;
}

bool AtapiDevice::SelectDrive(int16_t index) {
  if (!IsDrivePresent(index)) {
    return false;
  }
  if (DeviceHandle_ != kInvalidHandle) {
    CloseDrive();
  }

  const DriveRecord& slot = Drives[index];
  UseAspi = slot.ViaAspi != 0;
  CurrentDrive = index;
  CurrentAddress = DriveAddress{slot.HostAdapter, slot.Target, slot.Lun, slot.PathId};
  CopyText(Vendor, slot.Vendor);
  CopyText(Product, slot.Product);
  CopyText(Revision, slot.Revision);
  CopyText(VendorSpecific, slot.VendorSpecific);

  DeviceHandle handle = kInvalidHandle;
  if (osInfo_->IsNT() && !UseAspi) {
    char root[sizeof slot.RootPath];
    CopyText(root, slot.RootPath);
    handle = platform_.OpenDevice(root);
    if (handle == kInvalidHandle) {
      CurrentDrive = -1;
      CurrentDriveType = DriveType::kUnknown;
      CurrentAddress = DriveAddress{};
      DeviceHandle_ = kInvalidHandle;
      return false;
    }
  }

  SetAddress(handle, CurrentAddress.HostAdapter, CurrentAddress.PathId, CurrentAddress.Target,
             CurrentAddress.Lun);
  CurrentDriveType = QueryDriveType();
  return true;
}

void AtapiDevice::CloseDrive() {
  if (DeviceHandle_ != kInvalidHandle) {
    platform_.CloseDevice(DeviceHandle_);
  }
  SetAddress(kInvalidHandle, -1, -1, -1, -1);
}

void AtapiDevice::SetAddress(DeviceHandle handle, int16_t hostAdapter, int16_t pathId,
                             int16_t target, int16_t lun) {
  DeviceHandle_ = handle;
  CurrentAddress = DriveAddress{hostAdapter, target, lun, pathId};
}

}  // namespace kv
