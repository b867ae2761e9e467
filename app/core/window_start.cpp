#include "app/core/window_start.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "app/core/cli.h"
#include "os/module_loader.h"
#include "os/own_program.h"

namespace kv {

namespace {

void SayWindowError(const std::string& text) {
  std::fprintf(stderr, "krellvane: %s\n", text.c_str());
}

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::vector<std::string> WindowModuleCandidates(const std::string& programPath,
                                                const std::string& installedFolder) {
  std::vector<std::string> candidates;
  const std::filesystem::path program(programPath);
  if (program.has_parent_path()) {
    candidates.push_back((program.parent_path() / kWindowModuleFile).string());
  }
  if (!installedFolder.empty()) {
    const std::string installed =
        (std::filesystem::path(installedFolder) / kWindowModuleFile).string();
    if (candidates.empty() || candidates.front() != installed) {
      candidates.push_back(installed);
    }
  }
  return candidates;
}

int StartWindow(int argc, char** argv, const PlatformChoice& platform) {
  // Profiles that cannot be used are reported here, before anything of the window is tried.
  if (platform.emulate) {
    std::string error;
    if (CreatePlatform(platform, error) == nullptr) {
      SayWindowError(error);
      return kExitFailure;
    }
  }
  if (!HasDisplay()) {
    SayWindowError(kNoDisplayMessage);
    return kExitUsage;
  }
  const std::vector<std::string> candidates =
      WindowModuleCandidates(OwnProgramPath(), InstalledModuleFolder());
  std::string module;
  for (const std::string& candidate : candidates) {
    if (IsFile(candidate)) {
      module = candidate;
      break;
    }
  }
  if (module.empty()) {
    std::string places;
    for (const std::string& candidate : candidates) {
      places += (places.empty() ? "" : " or ") + candidate;
    }
    SayWindowError("the window module is missing (no " + places +
                   "); the command line works without it: see --help");
    return kExitFailure;
  }

  std::string error;
  const auto version =
      reinterpret_cast<WindowVersion>(LoadModuleFunction(module, kWindowVersionSymbol, error));
  if (version == nullptr) {
    SayWindowError("cannot load the window module: " + error);
    return kExitFailure;
  }
  if (std::strcmp(version(), KV_VERSION) != 0) {
    SayWindowError("the window module " + module + " belongs to version " + version() +
                   ", this program is " KV_VERSION);
    return kExitFailure;
  }
  const auto entry =
      reinterpret_cast<WindowEntry>(LoadModuleFunction(module, kWindowEntrySymbol, error));
  if (entry == nullptr) {
    SayWindowError("cannot load the window module: " + error);
    return kExitFailure;
  }
  return entry(argc, argv, &platform);
}

}  // namespace kv
