#include "drive/os_info.h"

#include "drive/platform.h"

namespace kv {

OSInfo::OSInfo(Platform& platform) : nt_(platform.IsNtFamily()) {}

}  // namespace kv
