// Where the settings store keeps its values. Each platform supplies one backend; the three
// settings operations of settings.h go through the one that SettingsBackendForThisPlatform()
// returns.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kv {

class SettingsBackend {
 public:
  virtual ~SettingsBackend() = default;

  // False when the value is absent or unreadable, and when a text holds more than
  // kSettingsTextLimit bytes.
  virtual bool ReadText(const std::string& keyName, const std::string& valueName,
                        std::string& value) = 0;
  // False when the value is absent or does not hold a 32-bit integer.
  virtual bool ReadInteger(const std::string& keyName, const std::string& valueName,
                           int32_t& value) = 0;
  // False when the value could not be stored; nothing stored before is lost then.
  virtual bool WriteInteger(const std::string& keyName, const std::string& valueName,
                            int32_t value) = 0;
};

inline constexpr std::size_t kSettingsTextLimit = 256;

std::unique_ptr<SettingsBackend> SettingsBackendForThisPlatform();

}  // namespace kv
