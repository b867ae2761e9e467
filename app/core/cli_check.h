// krellvane --check: one media check on a writer of the list, printed as the window would show it.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "app/core/cli.h"

namespace kv {

class AtapiDevice;
class Platform;

// The device drives the window lists, in list order: CD writers and drives of DriveType 3 or above.
std::vector<int16_t> WriterDriveIndexes(const AtapiDevice& device);

// The check on an existing platform; the report or the JSON object goes to out, messages to err.
// Returns the exit code (kExitOk, kExitNoDrive, kExitNoMedia, kExitFailure).
int RunCheckOn(Platform& platform, const CliRequest& request, std::ostream& out, std::ostream& err);

}  // namespace kv
