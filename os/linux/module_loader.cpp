// Linux: modules through the dynamic loader. RTLD_LOCAL keeps the module's own libraries out of
// the global scope; its references to the program's core resolve against the program itself,
// which exports its symbols, so the core (and its property block) exists once.
#include <dlfcn.h>

#include <cstdlib>

#include "os/module_loader.h"

namespace kv {

const char* const kWindowModuleFile = "krellvane-gui.so";

namespace {
// Any of these names a place for a window; QT_QPA_PLATFORM (offscreen, vnc, ...) names one
// explicitly.
constexpr const char* kDisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
}  // namespace

bool HasDisplay() {
  for (const char* name : kDisplayVariables) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') {
      return true;
    }
  }
  return false;
}

std::filesystem::path InstalledModuleFolder() {
  return KV_INSTALLED_MODULE_DIR;
}

void* LoadModuleFunction(const std::filesystem::path& file, const char* symbol,
                         std::string& error) {
  error.clear();
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    error = reason != nullptr ? reason : "cannot be loaded";
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle, symbol);
  if (address == nullptr) {
    error = file.string() + ": no function " + symbol;
  }
  return address;
}

}  // namespace kv
