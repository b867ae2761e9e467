// --trace FILE: runs a command-line mode on a recording platform and writes what the drives
// answered as a drive profile that --emulate FILE replays.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "app/core/cli.h"
#include "drive/notifier.h"
#include "drive/platform.h"

namespace kv {

// Runs `mode` on the platform, recorded when traceFile is not empty; the trace is written after
// the mode ends, whatever its exit code. A trace that cannot be written fails the run.
int RunTraced(Platform& platform, const std::string& traceFile, std::ostream& err,
              const std::function<int(Platform&)>& mode);

// Makes the platform the request names and runs `mode` on it with a standard-error notifier,
// traced when the request asks for it.
int RunOnRequestedPlatform(const CliRequest& request,
                           const std::function<int(Platform&, Notifier&)>& mode);

}  // namespace kv
