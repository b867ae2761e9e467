// The Linux platform: CD/DVD block nodes /dev/srN as the "drive letters" (root path = the short
// node name, "sr0"), SG_IO on them as pass-through, the sg driver as the ASPI-style manager, and
// the monotonic clock.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drive/platform.h"
#include "drive/platform/linux/linux_nodes.h"
#include "drive/platform/linux/linux_open.h"
#include "drive/platform/linux/linux_paths.h"

namespace kv {

// The note given to a user without the sg driver: the kernel's command filter on /dev/srN keeps
// the vendor commands from the drives then.
inline constexpr const char* kSgNotLoadedNote =
    "the sg driver is not loaded (as root: modprobe sg), so commands the kernel refuses on "
    "/dev/srN cannot reach the drives through /dev/sgN";

class LinuxPlatform : public Platform {
 public:
  explicit LinuxPlatform(LinuxPaths paths = {});
  ~LinuxPlatform() override;
  LinuxPlatform(const LinuxPlatform&) = delete;
  LinuxPlatform& operator=(const LinuxPlatform&) = delete;

  bool IsNtFamily() override { return true; }  // SG_IO on the block nodes is always there

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

  std::vector<DeniedNode> DeniedNodes() const override;
  std::vector<std::string> PassThroughNotes() const override;
  ScsiAddressResult NodeAddress(const std::string& devicePath) override;
  std::string Name() const override { return "linux"; }

 private:
  ScsiAddressResult Listed(const KernelScsiAddress& address) const;

  LinuxPaths paths_;
  std::map<DeviceHandle, std::string> openNodes_;  // handle -> node name, for the sysfs address
  std::shared_ptr<DeniedOpens> denied_;            // shared with the sg manager
};

std::unique_ptr<Platform> CreateLinuxPlatform();
std::unique_ptr<Platform> CreateLinuxPlatform(const LinuxPaths& paths);

}  // namespace kv
