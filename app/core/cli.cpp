#include "app/core/cli.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <iostream>

#include "app/core/edition.h"

namespace kv {

namespace {

// A device node is named by its full path, so that it is never mistaken for a line number.
bool IsNodeArgument(const std::string& text) {
  return !text.empty() && text.front() == '/';
}

std::optional<int> LineNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc{} || stop != end) {
    return std::nullopt;
  }
  return value;
}

CLI::Validator CheckArgumentValidator() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        if (IsNodeArgument(text) || LineNumber(text)) {
          return {};
        }
        return "'" + text + "' is neither a line number nor a device node such as /dev/sr0";
      },
      "LINE|NODE");
}

}  // namespace

CliRequest ParseCommandLine(int argc, const char* const* argv) {
  CliRequest request;
  CLI::App app{
      "Krellvane: identifies the recordable disc in a CD/DVD writer and the write speed "
      "the writer selects for it.\nWithout options the program opens its window.",
      "krellvane"};
  app.set_version_flag("--version", [] { return VersionText(); });

  bool list = false;
  std::vector<std::string> emulate;
  auto* emulateOption =
      app.add_option("--emulate", emulate,
                     "Run on emulated drives: the given drive+disc profiles (JSON), or the "
                     "built-in sample drives when none is given")
          ->expected(0, -1)
          ->type_name("PROFILE...");
  app.add_flag("--list", list, "List the CD/DVD drives found, one line each, and exit");
  std::optional<std::string> checkArgument;
  auto* checkOption =
      app.add_option("--check", checkArgument,
                     "Check the disc in the drive of the given list line (default: the first "
                     "writer), or in the drive on the given device node (/dev/srN), and print "
                     "the report")
          ->expected(0, 1)
          ->type_name("LINE|NODE")
          ->check(CheckArgumentValidator());
  std::optional<int> speedsLine;
  auto* speedsOption =
      app.add_option("--speeds", speedsLine,
                     "List every write speed the drive of the given --list line offers for its "
                     "disc (default: line 1)")
          ->expected(0, 1)
          ->type_name("LINE");
  std::optional<int> infoLine;
  auto* infoOption =
      app.add_option("--drive-info", infoLine,
                     "Show the features of the drive of the given --list line and its disc's "
                     "status (default: line 1)")
          ->expected(0, 1)
          ->type_name("LINE");
  app.add_flag("--json", request.json,
               "With --check, --speeds or --drive-info: print one JSON object");
  auto* anyDriveOption =
      app.add_flag("--any-drive", request.anyDrive,
                   "With --check: LINE counts every drive that --list shows, readers included");
  auto* buildOption = app.add_option("--build", request.buildFile,
                                     "Builder edition: write Krellvane.Exe from a parameter file")
                          ->type_name("PARAMFILE");
  auto* traceOption =
      app.add_option("--trace", request.traceFile,
                     "With --check or --list: record every command sent and the drives' answers "
                     "as a drive profile that --emulate FILE replays")
          ->type_name("FILE");
  anyDriveOption->needs(checkOption);
  checkOption->excludes(buildOption);
  app.get_option("--list")->excludes(checkOption)->excludes(buildOption);
  speedsOption->excludes(checkOption)->excludes(buildOption)->excludes(infoOption);
  infoOption->excludes(checkOption)->excludes(buildOption);
  app.get_option("--list")->excludes(speedsOption)->excludes(infoOption);
  anyDriveOption->excludes(speedsOption)->excludes(infoOption);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    request.exitNow = true;
    request.exitCode = app.exit(e);
    if (request.exitCode != 0) {
      request.exitCode = kExitUsage;
    }
    return request;
  }

  const bool query = speedsOption->count() > 0 || infoOption->count() > 0;
  const char* misplaced = nullptr;
  if (traceOption->count() > 0 && !list && checkOption->count() == 0 && !query) {
    misplaced = "--trace needs --check, --list, --speeds or --drive-info";
  } else if (request.json && checkOption->count() == 0 && !query) {
    misplaced = "--json needs --check, --speeds or --drive-info";
  }
  if (misplaced != nullptr) {
    std::cerr << "krellvane: " << misplaced << "\n";
    request.exitNow = true;
    request.exitCode = kExitUsage;
    return request;
  }
  if (emulateOption->count() > 0) {
    request.platform.emulate = true;
    request.platform.profiles = emulate;
  }
  ApplyEmulateEnvironment(request.platform);
  if (list) {
    request.mode = CliMode::List;
  } else if (checkOption->count() > 0) {
    request.mode = CliMode::Check;
    if (checkArgument) {
      if (IsNodeArgument(*checkArgument)) {
        request.checkNode = *checkArgument;
      } else {
        request.checkLine = LineNumber(*checkArgument);
      }
    }
  } else if (buildOption->count() > 0) {
    request.mode = CliMode::Build;
  } else if (speedsOption->count() > 0) {
    request.mode = CliMode::Speeds;
    request.checkLine = speedsLine;
  } else if (infoOption->count() > 0) {
    request.mode = CliMode::DriveInfo;
    request.checkLine = infoLine;
  }
  return request;
}

namespace {

int RunMode(const CliRequest& request) {
  switch (request.mode) {
    case CliMode::List:
      return RunList(request);
    case CliMode::Check:
      return RunCheck(request);
    case CliMode::Build:
      return RunBuild(request);
    case CliMode::Speeds:
      return RunSpeeds(request);
    case CliMode::DriveInfo:
      return RunDriveInfo(request);
    case CliMode::Gui:
      break;
  }
  return kExitUsage;
}

}  // namespace

int RunCli(const CliRequest& request) {
  // The readers and the drive layer report by their results; this is the last line for anything
  // the system throws (memory running out), so that the command ends with a message, not an abort.
  try {
    return RunMode(request);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "krellvane: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "krellvane: unexpected failure\n");
  }
  return kExitFailure;
}

}  // namespace kv
