// Where the settings store keeps its values. Each system supplies one backend (a per-user file, or
// the registry); the three settings operations of media/settings.h go through the one that
// SettingsBackendForThisPlatform() returns and add the rules that hold on every system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kv {

class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;

  // The whole stored text. False when the value is absent or unreadable.
  virtual bool ReadText(const std::string& keyName, const std::string& valueName,
                        std::string& value) = 0;
  // False when the value is absent or does not hold a 32-bit integer.
  virtual bool ReadInteger(const std::string& keyName, const std::string& valueName,
                           int32_t& value) = 0;
  // False when the value could not be stored; nothing stored before is lost then.
  virtual bool WriteInteger(const std::string& keyName, const std::string& valueName,
                            int32_t value) = 0;
};

std::unique_ptr<SettingsBackend> SettingsBackendForThisPlatform();

}  // namespace kv
