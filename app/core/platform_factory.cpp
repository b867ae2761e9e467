#include "app/core/platform_factory.h"

#include <cstdlib>

#include "drive/platform/emulated/emulated_platform.h"
#include "os/default_platform.h"

namespace kv {

namespace {
constexpr std::string_view kSampleDrivesValue = "1";
constexpr char kProfileSeparator = ':';
}  // namespace

void ApplyEmulateEnvironment(PlatformChoice& choice) {
  if (choice.emulate) {
    return;
  }
  const char* value = std::getenv(kEmulateEnvironmentVariable);
  if (value == nullptr || *value == '\0') {
    return;
  }
  choice.emulate = true;
  choice.profiles.clear();
  const std::string_view text = value;
  if (text == kSampleDrivesValue) {
    return;
  }
  std::size_t begin = 0;
  while (begin <= text.size()) {
    std::size_t end = text.find(kProfileSeparator, begin);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    if (end > begin) {
      choice.profiles.emplace_back(text.substr(begin, end - begin));
    }
    begin = end + 1;
  }
}

std::unique_ptr<Platform> CreatePlatform(const PlatformChoice& choice, std::string& error) {
  error.clear();
  if (choice.emulate) {
    // A bare --emulate reaches here as one empty name: that means the sample drives.
    std::vector<std::string> profiles;
    for (const std::string& profile : choice.profiles) {
      if (!profile.empty()) {
        profiles.push_back(profile);
      }
    }
    return emu::CreateEmulatedPlatform(profiles, error);
  }
  return CreateDefaultPlatform();
}

}  // namespace kv
