#include "os/win32/settings_registry.h"

namespace kv::win32 {

namespace {

constexpr const char* kSoftwarePrefix = "SOFTWARE\\";
constexpr const char* kKeySeparator = "\\";

// Closes an open key when the scope ends.
class OpenKey {
 public:
  OpenKey() = default;
  ~OpenKey() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY* Receive() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::string SettingsKeyPath(const std::string& keyName) {
  return kSoftwarePrefix + keyName + kKeySeparator;
}

bool RegistrySettings::ReadText(const std::string& keyName, const std::string& valueName,
                                std::string& value) {
  OpenKey key;
  if (RegOpenKeyExA(root_, SettingsKeyPath(keyName).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  BYTE data[kRegistryTextLimit] = {};
  DWORD size = kRegistryTextLimit;
  if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, data, &size) !=
          ERROR_SUCCESS ||
      size > kRegistryTextLimit) {
    return false;
  }
  value.assign(reinterpret_cast<const char*>(data), size);
  return true;
}

bool RegistrySettings::ReadInteger(const std::string& keyName, const std::string& valueName,
                                   int32_t& value) {
  OpenKey key;
  if (RegOpenKeyExA(root_, SettingsKeyPath(keyName).c_str(), 0, KEY_QUERY_VALUE, key.Receive()) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD size = sizeof value;
  return RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr,
                          reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
}

bool RegistrySettings::WriteInteger(const std::string& keyName, const std::string& valueName,
                                    int32_t value) {
  const std::string path = SettingsKeyPath(keyName);
  OpenKey key;
  if (RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, key.Receive()) != ERROR_SUCCESS &&
      RegCreateKeyA(root_, path.c_str(), key.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  const DWORD stored = static_cast<DWORD>(value);
  return RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&stored), sizeof stored) == ERROR_SUCCESS;
}

}  // namespace kv::win32
