// The settings store: three values under one key ("Krellvane"). On Linux they live in one
// human-editable per-user file (see os/linux/settings_file.h for where); on Windows in the
// registry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {

inline constexpr const char* kSettingsKey = "Krellvane";

// The longest text value; a longer one counts as absent.
inline constexpr std::size_t kSettingsTextLimit = 256;

// A text value of more than 256 bytes counts as absent.
bool ReadRegString(const char* keyName, const char* valueName, std::string& value);
bool ReadRegInt(const char* keyName, const char* valueName, int32_t& value);
bool WriteRegInt(const char* keyName, const char* valueName, int32_t value);

}  // namespace kv
