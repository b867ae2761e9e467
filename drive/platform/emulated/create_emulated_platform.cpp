// Builds the emulated machine from profile files or from the embedded sample drives.
#include <algorithm>

#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "drive/platform/emulated/sample_profiles.h"

namespace kv::emu {

void ApplyAttachment(EmulatedPlatform& machine, int index, const ProfileAttachment& a) {
  if (a.root) {
    machine.SetRoot(index, *a.root);
  }
  if (a.listedAsRoot) {
    machine.SetListedAsRoot(index, *a.listedAsRoot);
  }
  if (a.cdromRoot) {
    machine.SetCdromRoot(index, *a.cdromRoot);
  }
  if (a.openFails) {
    machine.SetOpenFails(index, *a.openFails);
  }
  if (a.address) {
    const auto& b = *a.address;
    machine.SetScsiAddress(index, b[0], b[1], b[2], b[3]);
  }
  using Outcome = ProfileAttachment::AddressOutcome;
  if (a.addressOutcome && *a.addressOutcome != Outcome::Found) {
    machine.SetScsiAddressOutcome(index, *a.addressOutcome == Outcome::LengthZero
                                             ? ScsiAddressResult::Outcome::LengthZero
                                             : ScsiAddressResult::Outcome::CallFailed);
  }
  if (a.aspiVisible) {
    machine.SetAspiVisible(index, *a.aspiVisible);
  }
  if (a.aspiAddress) {
    const auto& b = *a.aspiAddress;
    machine.SetAspiAddress(index, b[0], b[1], b[2]);
  }
  if (a.aspiTransport.value_or(false)) {
    // The manager loads and reaches this drive's host adapter.
    const Attachment& placed = machine.AttachmentOf(index);
    AspiSettings& aspi = machine.Aspi();
    aspi.loadOutcome = AspiLoadResult::Outcome::Loaded;
    aspi.hostAdapterCount =
        std::max<uint8_t>(aspi.hostAdapterCount, static_cast<uint8_t>(placed.aspiHostAdapter + 1));
  }
}

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
      auto loaded = LoadProfilesFile(path, error);
      if (!loaded) {
        return nullptr;
      }
      for (DriveProfile& profile : *loaded) {
        profiles.push_back(std::move(profile));
      }
    }
  }
  auto machine = std::make_unique<EmulatedPlatform>();
  for (DriveProfile& profile : profiles) {
    const ProfileAttachment attachment = profile.attachment;
    const int index = machine->AddDrive(std::move(profile));
    ApplyAttachment(*machine, index, attachment);
  }
  error.clear();
  return machine;
}

std::unique_ptr<kv::Platform> CreateEmulatedPlatform(const std::vector<std::string>& profilePaths,
                                                     std::string& error) {
  return CreateEmulatedMachine(profilePaths, error);
}

}  // namespace kv::emu
