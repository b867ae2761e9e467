// Win32: modules through LoadLibraryA. A desktop is always there for a window on Windows.
#include <windows.h>

#include <string>

#include "os/module_loader.h"

namespace kv {

const char* const kWindowModuleFile = "krellvane-gui.dll";

bool HasDisplay() {
  return true;
}

// Windows programs keep their modules beside themselves; there is no shared library folder.
std::filesystem::path InstalledModuleFolder() {
  return {};
}

// The wide name: a folder named beyond the ANSI code page still loads.
void* LoadModuleFunction(const std::filesystem::path& file, const char* symbol,
                         std::string& error) {
  error.clear();
  HMODULE module = LoadLibraryW(file.c_str());
  if (module == nullptr) {
    error = file.string() + ": cannot be loaded (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  FARPROC address = GetProcAddress(module, symbol);
  if (address == nullptr) {
    error = file.string() + ": no function " + symbol;
    return nullptr;
  }
  return reinterpret_cast<void*>(address);
}

}  // namespace kv
