// Builds the emulated machine from profile files or from the embedded sample drives.
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "drive/platform/emulated/sample_profiles.h"

namespace kv::emu {

std::unique_ptr<EmulatedPlatform> CreateEmulatedMachine(
    const std::vector<std::string>& profilePaths, std::string& error) {
  std::vector<DriveProfile> profiles;
  if (profilePaths.empty()) {
    for (const EmbeddedProfile& sample : SampleProfiles()) {
      auto profile = ParseProfileText(sample.json, std::string("sample ") + sample.fileName, error);
      if (!profile) {
        return nullptr;
      }
      profiles.push_back(std::move(*profile));
    }
  } else {
    for (const std::string& path : profilePaths) {
      auto profile = LoadProfileFile(path, error);
      if (!profile) {
        return nullptr;
      }
      profiles.push_back(std::move(*profile));
    }
  }
  auto machine = std::make_unique<EmulatedPlatform>();
  for (DriveProfile& profile : profiles) {
    machine->AddDrive(std::move(profile));
  }
  error.clear();
  return machine;
}

std::unique_ptr<kv::Platform> CreateEmulatedPlatform(const std::vector<std::string>& profilePaths,
                                                     std::string& error) {
  return CreateEmulatedMachine(profilePaths, error);
}

}  // namespace kv::emu
