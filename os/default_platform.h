// The drives of this machine: the real drive platform of the system the program was built for.
#pragma once

#include <memory>

#include "drive/platform.h"

namespace kv {

std::unique_ptr<Platform> CreateDefaultPlatform();

}  // namespace kv
