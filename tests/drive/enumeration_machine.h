// An emulated machine and a device object built on it, for the enumeration tests.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"

namespace kv::enumtest {

// Keeps every message box the device object would show.
class RecordingNotifier : public Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    messages.emplace_back(text, caption);
  }
  std::vector<std::pair<std::string, std::string>> messages;
};

struct Machine {
  emu::EmulatedPlatform platform;
  RecordingNotifier notifier;

  // A drive told apart from the others by its product text.
  int AddDrive(const std::string& product) {
    emu::DriveProfile profile;
    profile.drive.inquiry.product = product;
    return platform.AddDrive(std::move(profile));
  }

  // A working manager that sees the drives at their default ASPI addresses.
  void InstallManager(uint8_t hostAdapters = 1) {
    platform.SetAspiLoadOutcome(AspiLoadResult::Outcome::Loaded);
    platform.SetAspiSupportInfo(kSsComp, hostAdapters);
  }

  std::unique_ptr<AtapiDevice> Build(int32_t tag = kApplicationTagPreferAspi) {
    SetApplicationTag(tag);
    auto device = std::make_unique<AtapiDevice>(platform, notifier);
    SetApplicationTag(0);
    return device;
  }
};

// The product text of a slot without its blank padding.
inline std::string ProductOf(const DriveRecord& drive) {
  std::string text(drive.Product);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace kv::enumtest
