// On Windows the settings live in the registry below HKEY_LOCAL_MACHINE.
#include "os/settings_backend.h"

#include "os/win32/settings_registry.h"

namespace kv {

std::unique_ptr<SettingsBackend> SettingsBackendForThisPlatform() {
  return std::make_unique<win32::RegistrySettings>();
}

}  // namespace kv
