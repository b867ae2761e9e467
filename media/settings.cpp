#include "media/settings.h"

#include "os/settings_backend.h"

namespace kv {

namespace {

// The backend is made for every call: the operations keep no state, need no device object, and
// follow a settings location that changes while the program runs (as tests do).
bool Usable(const char* keyName, const char* valueName) {
  return keyName != nullptr && valueName != nullptr && keyName[0] != '\0' && valueName[0] != '\0';
}

}  // namespace

bool ReadRegString(const char* keyName, const char* valueName, std::string& value) {
  std::string text;
  if (!Usable(keyName, valueName) ||
      !SettingsBackendForThisPlatform()->ReadText(keyName, valueName, text) ||
      text.size() > kSettingsTextLimit) {
    return false;
  }
  // As with a stored zero terminator, the text ends at its first zero byte.
  value = text.substr(0, text.find('\0'));
  return true;
}

bool ReadRegInt(const char* keyName, const char* valueName, int32_t& value) {
  return Usable(keyName, valueName) &&
         SettingsBackendForThisPlatform()->ReadInteger(keyName, valueName, value);
}

bool WriteRegInt(const char* keyName, const char* valueName, int32_t value) {
  return Usable(keyName, valueName) &&
         SettingsBackendForThisPlatform()->WriteInteger(keyName, valueName, value);
}

}  // namespace kv
