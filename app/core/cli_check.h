// krellvane --check [LINE]: one media check on a writer of the window's drive list (line 1 is the
// first), printed as the window would show it. With --any-drive, LINE is the drive's place in the
// --list order counted from 1, readers included.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "app/core/cli.h"

namespace kv {

class Notifier;
class Platform;

// The check on an existing platform; the report or the JSON object goes to out, the device's load
// failures to the notifier, other messages to err.
// Returns the exit code (kExitOk, kExitNoDrive, kExitNoMedia, kExitFailure).
// What --check says on a machine whose drives are all readers: "no CD/DVD writer found;
// 3 readers: use --any-drive".
std::string ReadersOnlyMessage(uint32_t readers);

int RunCheckOn(Platform& platform, Notifier& notifier, const CliRequest& request, std::ostream& out,
               std::ostream& err);

}  // namespace kv
