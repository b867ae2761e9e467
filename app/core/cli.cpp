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
  auto* jsonOption = app.add_flag("--json", request.json, "With --check: print one JSON object");
  auto* anyDriveOption =
      app.add_flag("--any-drive", request.anyDrive,
                   "With --check: LINE counts every drive that --list shows, readers included");
  auto* buildOption = app.add_option("--build", request.buildFile,
                                     "Builder edition: write Krellvane.Exe from a parameter file")
                          ->type_name("PARAMFILE");
  jsonOption->needs(checkOption);
  anyDriveOption->needs(checkOption);
  checkOption->excludes(buildOption);
  app.get_option("--list")->excludes(checkOption)->excludes(buildOption);

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
