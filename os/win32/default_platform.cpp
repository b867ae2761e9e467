// On Windows the drives of this machine are the CD-ROM drive letters and the ASPI manager.
#include "os/default_platform.h"

#include "drive/platform/win32/win32_platform.h"

namespace kv {

std::unique_ptr<Platform> CreateDefaultPlatform() {
  return win32::CreateWin32Platform();
}

}  // namespace kv
