#include "app/core/cli.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "app/core/cli_help.h"
#include "app/core/edition.h"
#include "media/property_block.h"

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

constexpr std::string_view kEndOfOptions = "--";

enum class EarlyExit { None, Help, Version };

// --help and --version win over everything else on the line, as GNU programs do, so that they
// work whatever else was typed.
EarlyExit FindEarlyExit(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument == kEndOfOptions) {
      break;
    }
    if (argument == "-h" || argument == "--help") {
      return EarlyExit::Help;
    }
    if (argument == "-V" || argument == "--version") {
      return EarlyExit::Version;
    }
  }
  return EarlyExit::None;
}

CliRequest UsageError(const std::string& text) {
  std::cerr << ErrorLine(text) << "Try '" << ProgramName() << " --help' for more information.\n";
  CliRequest request;
  request.exitNow = true;
  request.exitCode = kExitUsage;
  return request;
}

}  // namespace

CliRequest ParseCommandLine(int argc, const char* const* argv) {
  CliRequest request;
  switch (FindEarlyExit(argc, argv)) {
    case EarlyExit::Help:
      std::cout << HelpText(IsBuildMode());
      request.exitNow = true;
      return request;
    case EarlyExit::Version:
      std::cout << VersionText() << '\n';
      request.exitNow = true;
      return request;
    case EarlyExit::None:
      break;
  }

  CLI::App app{"", ProgramName()};
  app.set_help_flag();
  // One command line on every system: CLI11 would read "/x" as an option on Windows, so a device
  // node or a path given as a value would be taken for one.
  app.allow_windows_style_options(false);
  bool list = false;
  std::vector<std::string> emulate;
  auto* emulateOption = app.add_option("--emulate", emulate)->expected(0, -1);
  app.add_flag("--list", list);
  std::optional<std::string> checkArgument;
  auto* checkOption = app.add_option("--check", checkArgument)
                          ->expected(0, 1)
                          ->check(CheckArgumentValidator());
  std::optional<int> speedsLine;
  auto* speedsOption = app.add_option("--speeds", speedsLine)->expected(0, 1);
  std::optional<int> infoLine;
  auto* infoOption = app.add_option("--drive-info", infoLine)->expected(0, 1);
  auto* jsonOption = app.add_flag("--json", request.json);
  auto* anyDriveOption = app.add_flag("--any-drive", request.anyDrive);
  auto* buildOption = app.add_option("--build", request.buildFile);
  auto* traceOption = app.add_option("--trace", request.traceFile);
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
    return UsageError(e.what());
  }
  const bool query = speedsOption->count() > 0 || infoOption->count() > 0;
  if (jsonOption->count() > 0 && !list && checkOption->count() == 0 && !query) {
    return UsageError("--json works with --list, --check, --speeds or --drive-info");
  }
  if (traceOption->count() > 0 && !list && checkOption->count() == 0 && !query) {
    return UsageError("--trace works with --list, --check, --speeds or --drive-info");
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
