// The settings store in the registry: values below HKEY_LOCAL_MACHINE\SOFTWARE\<key name>\.
#pragma once

#include <windows.h>

#include <string>

#include "os/settings_backend.h"

namespace kv::win32 {

// "SOFTWARE\" + key name + "\", the trailing backslash included.
std::string SettingsKeyPath(const std::string& keyName);

// The most data a text value may hold; a longer one cannot be read.
inline constexpr DWORD kRegistryTextLimit = 256;

class RegistrySettings : public SettingsBackend {
 public:
  explicit RegistrySettings(HKEY root = HKEY_LOCAL_MACHINE) : root_(root) {}

  // The stored bytes as they are, a terminating zero included when one was stored.
  bool ReadText(const std::string& keyName, const std::string& valueName,
                std::string& value) override;
  // Up to 4 bytes straight into value, whatever the value's type; longer data fails.
  bool ReadInteger(const std::string& keyName, const std::string& valueName,
                   int32_t& value) override;
  // A REG_DWORD; the key (and its parents) are made when missing.
  bool WriteInteger(const std::string& keyName, const std::string& valueName,
                    int32_t value) override;

 private:
  HKEY root_;
};

}  // namespace kv::win32
