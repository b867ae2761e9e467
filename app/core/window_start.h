// Opening the window: the windows live in a module of their own that the program loads only
// when it opens a window, so that the command line never loads a window toolkit.
#pragma once

#include <filesystem>

#include <string>
#include <vector>

#include "app/core/platform_factory.h"
#include "os/module_loader.h"

namespace kv {

// The two functions the module (kWindowModuleFile) offers.
inline constexpr const char* kWindowEntrySymbol = "krellvane_window_main";
inline constexpr const char* kWindowVersionSymbol = "krellvane_window_module_version";
using WindowEntry = int (*)(int argc, char** argv, const PlatformChoice* platform);
using WindowVersion = const char* (*)();

inline constexpr const char* kNoDisplayMessage =
    "no display: use --list or --check, or set DISPLAY";

// Where the module is looked for, in order: beside the program's own file, then the installed
// library folder (so a rebranded copy written anywhere still finds an installed module).
std::vector<std::filesystem::path> WindowModuleCandidates(
    const std::filesystem::path& program, const std::filesystem::path& installedFolder);

// Loads the module and runs the window; without a display or without the module, one line on
// standard error and a non-zero exit status.
int StartWindow(int argc, char** argv, const PlatformChoice& platform);

}  // namespace kv
