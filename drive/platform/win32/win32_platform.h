// The Windows platform: drive letters of type DRIVE_CDROM, SCSI pass-through on their devices, the
// ASPI for Win32 manager, the performance counter, and the NT-family test of GetVersionExA.
#pragma once

#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "drive/platform.h"
#include "drive/platform/win32/win32_scsi_ioctl.h"

namespace kv::win32 {

// GetVersionExA with an OSVERSIONINFOA of 148 bytes: true when the platform id is
// VER_PLATFORM_WIN32_NT; false when the call fails.
bool QueryNtFamily();

class Win32Platform : public Platform {
 public:
  // ioControl: the DeviceIoControl that the drive letters' devices are driven through.
  explicit Win32Platform(DeviceIoControlCall ioControl = SystemDeviceIoControl());
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  bool IsNtFamily() override { return nt_; }

  int64_t CounterFrequency() override;
  int64_t CounterNow() override;
  void SleepMilliseconds(uint32_t ms) override;

  DriveRootList ListDriveRoots() override;
  bool IsCdromRoot(const std::string& root) override;
  DeviceHandle OpenDevice(const std::string& root) override;
  void CloseDevice(DeviceHandle handle) override;
  ScsiAddressResult GetScsiAddress(DeviceHandle handle) override;
  PassThroughResult PassThrough(DeviceHandle handle, const ScsiRequest& request) override;

  AspiLoadResult LoadAspi() override;

  std::string Name() const override { return "win32"; }

 private:
  bool nt_;
  DeviceIoControlCall ioControl_;
  std::set<DeviceHandle> open_;   // only devices this platform opened are driven or closed
  PassThroughRequest request_{};  // reused for every command
};

std::unique_ptr<Platform> CreateWin32Platform();

}  // namespace kv::win32
