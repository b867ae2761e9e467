// The host side of loadable modules: the seam between the window start-up and the system's
// dynamic loader.
#pragma once

#include <filesystem>
#include <string>

namespace kv {

// The window module's file name on this system.
extern const char* const kWindowModuleFile;

// Whether a window can be shown at all (a display server is named in the environment, or the
// window toolkit was told which platform to use).
bool HasDisplay();

// The folder an installed program keeps its private modules in.
std::filesystem::path InstalledModuleFolder();

// Opens the module file and returns the address of one of its functions; null with error set
// (one line, the loader's own reason) when the file cannot be loaded or lacks the function. The
// module stays loaded for the rest of the process.
void* LoadModuleFunction(const std::filesystem::path& file, const char* symbol, std::string& error);

}  // namespace kv
