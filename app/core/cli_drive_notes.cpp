#include "app/core/cli_drive_notes.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "drive/mmc.h"

namespace kv {

namespace {

constexpr const char* kReadOnlyReason = "the drive node is open read-only";
constexpr const char* kPrivilegeReason =
    "needs CAP_SYS_RAWIO or read-write access to the drive's /dev/sgN";

const char* CommandName(uint8_t opcode) {
  switch (opcode) {
    case mmc::kOpTestUnitReady:
      return "TEST UNIT READY";
    case mmc::kOpInquiry:
      return "INQUIRY";
    case mmc::kOpReadFormatCapacities:
      return "READ FORMAT CAPACITIES";
    case mmc::kOpReadTocPmaAtip:
      return "READ TOC/PMA/ATIP";
    case mmc::kOpGetConfiguration:
      return "GET CONFIGURATION";
    case mmc::kOpReadDiscInformation:
      return "READ DISC INFORMATION";
    case mmc::kOpModeSense10:
      return "MODE SENSE (10)";
    case mmc::kOpGetPerformance:
      return "GET PERFORMANCE";
    case mmc::kOpReadDvdStructure:
      return "READ DVD STRUCTURE";
    case mmc::kOpSetStreaming:
      return "SET STREAMING";
    case mmc::kOpSetCdSpeed:
      return "SET CD SPEED";
    case mmc::kOpVendorMediaId:
      return "vendor media identifier";
    default:
      return "command";
  }
}

std::string OpcodeText(uint8_t opcode) {
  char text[8];
  std::snprintf(text, sizeof text, "%02Xh", static_cast<unsigned>(opcode));
  return text;
}

// The kernel lets the speed commands through on a node open for writing; everything else it
// refuses needs the privilege (or the sg node, which passes every command when open read-write).
const char* Reason(const RefusedCommand& command) {
  const bool writeSafe =
      command.opcode == mmc::kOpSetCdSpeed || command.opcode == mmc::kOpSetStreaming;
  return writeSafe && command.openReadOnly ? kReadOnlyReason : kPrivilegeReason;
}

}  // namespace

void PrintAccessHints(const Platform& platform, std::ostream& err) {
  // Nodes refused alike share one line, in the order they were first met.
  std::vector<std::pair<std::pair<int, std::string>, std::string>> groups;
  for (const DeniedNode& node : platform.DeniedNodes()) {
    const std::pair<int, std::string> key{node.osError, node.hint};
    auto it = groups.begin();
    while (it != groups.end() && it->first != key) {
      ++it;
    }
    if (it == groups.end()) {
      groups.emplace_back(key, node.path);
    } else {
      it->second += ", " + node.path;
    }
  }
  for (const auto& [key, paths] : groups) {
    err << "krellvane: cannot open " << paths << ": " << std::strerror(key.first);
    if (!key.second.empty()) {
      err << " (" << key.second << ")";
    }
    err << '\n';
  }
  for (const std::string& note : platform.PassThroughNotes()) {
    err << "krellvane: " << note << '\n';
  }
}

std::string RefusedCommandsLine(const std::vector<RefusedCommand>& refused) {
  if (refused.empty()) {
    return {};
  }
  // Grouped by reason, in the order the reasons were first met.
  std::vector<std::pair<std::string, std::string>> byReason;
  for (const RefusedCommand& command : refused) {
    const std::string reason = Reason(command);
    const std::string name =
        std::string(CommandName(command.opcode)) + " (" + OpcodeText(command.opcode) + ")";
    auto it = byReason.begin();
    while (it != byReason.end() && it->first != reason) {
      ++it;
    }
    if (it == byReason.end()) {
      byReason.emplace_back(reason, name);
    } else {
      it->second += ", " + name;
    }
  }
  std::string line = "krellvane: the system refused ";
  for (std::size_t i = 0; i < byReason.size(); ++i) {
    line += (i == 0 ? "" : "; and ") + byReason[i].second + ": " + byReason[i].first;
  }
  line += "; the report shows what the drive answered without them";
  return line;
}

nlohmann::json RefusedCommandsJson(const std::vector<RefusedCommand>& refused) {
  nlohmann::json list = nlohmann::json::array();
  for (const RefusedCommand& command : refused) {
    list.push_back({{"opcode", OpcodeText(command.opcode)},
                    {"name", CommandName(command.opcode)},
                    {"reason", Reason(command)}});
  }
  return list;
}

}  // namespace kv
