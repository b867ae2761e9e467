// On Linux the drives of this machine are reached through sysfs, SG_IO and the sg driver.
#include "os/default_platform.h"

#include "drive/platform/linux/linux_platform.h"

namespace kv {

std::unique_ptr<Platform> CreateDefaultPlatform() {
  return CreateLinuxPlatform();
}

}  // namespace kv
