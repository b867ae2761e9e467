// What the command line tells a user on standard error (and in --json) about drives it could not
// fully use: nodes it may not open, paths the system lacks, and commands the system refused.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "drive/atapi_device.h"
#include "drive/platform.h"

namespace kv {

// One line per group of nodes refused alike ("krellvane: cannot open /dev/sg0, /dev/sg1:
// Permission denied (hint)"), then one per platform note.
void PrintAccessHints(const Platform& platform, std::ostream& err);

// The single line naming the refused commands and why; empty when none was refused.
std::string RefusedCommandsLine(const std::vector<RefusedCommand>& refused);

// The refused commands as a JSON list: {"opcode": "BBh", "name": ..., "reason": ...}.
nlohmann::json RefusedCommandsJson(const std::vector<RefusedCommand>& refused);

}  // namespace kv
