// Construction and destruction of the device object, each in its fixed order.
#include <cstring>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/device_buffers.h"

namespace kv {

AtapiDevice::AtapiDevice(Platform& platform, Notifier& notifier)
    : platform_(platform), notifier_(notifier) {
  // 1. The timers, then the operating-system information.
  WaitTimer = std::make_unique<HiTimer>(platform_);
  CommandTimer = std::make_unique<HiTimer>(platform_);
  osInfo_ = std::make_unique<OSInfo>(platform_);

  // 2. Members and the two buffers.
  CurrentAddress = DriveAddress{};
  CurrentDrive = -1;
  DeviceHandle_ = kInvalidHandle;
  CurrentDriveType = DriveType::kUnknown;
  aspi_.reset();
  CommandTimeout = kCommandTimeoutSeconds;
  LastCommand_ = CommandRecord{};
  ClearIdentification();
  // A buffer that cannot be allocated stays null; the transport fails its commands with 0.
  DataBuffer = AllocateDeviceBuffer(kBufferSize);
  ParameterBuffer = AllocateDeviceBuffer(kBufferSize);

  // 3. The transport: the application tag may prefer the manager, which must also work; a system
  // without pass-through on its drive nodes always uses the manager.
  const bool preferAspi = GetApplicationTag() == kApplicationTagPreferAspi;
  UseAspi = preferAspi;
  AspiAvailable = ProbeAspi();
  UseAspi = UseAspi && AspiAvailable;
  if (!osInfo_->IsNT()) {
    UseAspi = true;
  }

  // 4. Nothing is loaded yet; this only clears the entry points.
  UnloadAspi();
  if (UseAspi) {
    LoadAspi();
  }

  // 5.
  RefreshDrives();
}

AtapiDevice::~AtapiDevice() {
  DataBuffer.reset();
  ParameterBuffer.reset();
  UnloadAspi();
  CloseDrive();
  osInfo_.reset();
  CommandTimer.reset();
  WaitTimer.reset();
}

void AtapiDevice::ClearIdentification() {
  std::memset(Vendor, 0, sizeof Vendor);
  std::memset(Product, 0, sizeof Product);
  std::memset(Revision, 0, sizeof Revision);
  std::memset(VendorSpecific, 0, sizeof VendorSpecific);
}

}  // namespace kv
