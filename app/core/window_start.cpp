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

bool IsFile(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::vector<std::filesystem::path> WindowModuleCandidates(
    const std::filesystem::path& program, const std::filesystem::path& installedFolder) {
  std::vector<std::filesystem::path> candidates;
  if (program.has_parent_path()) {
    candidates.push_back(program.parent_path() / kWindowModuleFile);
  }
  if (!installedFolder.empty()) {
    const std::filesystem::path installed = installedFolder / kWindowModuleFile;
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
  const std::vector<std::filesystem::path> candidates =
      WindowModuleCandidates(OwnProgramFile(), InstalledModuleFolder());
  std::filesystem::path module;
  for (const std::filesystem::path& candidate : candidates) {
    if (IsFile(candidate)) {
      module = candidate;
      break;
    }
  }
  if (module.empty()) {
    std::string places;
    for (const std::filesystem::path& candidate : candidates) {
      places += (places.empty() ? "" : " or ") + candidate.string();
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
    SayWindowError("the window module " + module.string() + " belongs to version " + version() +
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
