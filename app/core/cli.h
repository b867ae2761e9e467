// The command-line front end: options on the same core as the windows, needing no display.
#pragma once

#include <optional>
#include <string>

#include "app/core/platform_factory.h"

namespace kv {

enum class CliMode { Gui, List, Check, Build };

struct CliRequest {
  CliMode mode = CliMode::Gui;
  bool exitNow = false;  // --help, --version or a usage error: exit with exitCode
  int exitCode = 0;
  PlatformChoice platform;
  bool json = false;
  std::optional<int> checkLine;          // --check LINE; default the first writer
  std::optional<std::string> checkNode;  // --check /dev/srN: the listed drive on that node
  bool anyDrive = false;  // --any-drive: LINE counts every drive of --list, readers too
  std::string buildFile;  // --build PARAMFILE
};

// Exit codes of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the check or build failed
inline constexpr int kExitUsage = 2;    // bad options
inline constexpr int kExitNoDrive = 3;  // no drive, or no such drive line
inline constexpr int kExitNoMedia = 4;  // the drive holds no disc
// The drive never became ready (the wait for it gave up) or never answered a command.
inline constexpr int kExitNotReady = 5;

CliRequest ParseCommandLine(int argc, const char* const* argv);
int RunCli(const CliRequest& request);

// The runners, one file each.
int RunList(const CliRequest& request);
int RunCheck(const CliRequest& request);
int RunBuild(const CliRequest& request);

}  // namespace kv
