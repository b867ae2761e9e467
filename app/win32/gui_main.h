// Starts the window application on Win32 (no command-line options, or --emulate alone).
#pragma once

#include "app/core/platform_factory.h"

namespace kv {

int RunGui(int argc, char** argv, const PlatformChoice& platform);

}  // namespace kv
