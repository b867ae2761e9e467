#include <cstdint>
#include <memory>

#include "drive/atapi_device.h"
#include "drive/notifier.h"

namespace kv {

namespace {

constexpr unsigned kSupportInfoStatusShift = 8;  // bits 15-8 of GetASPI32SupportInfo
constexpr uint32_t kSupportInfoStatusMask = 0xFF;

struct AspiMessage {
  const char* text;
  const char* caption;
};

constexpr AspiMessage kModuleNotFound{"LoadLibrary:\nWNASPI32.DLL not found.", "Error FS 002"};
constexpr AspiMessage kNoSupportInfoEntry{"GetProcAddress:\nGetASPI32SupportInfo not fount.",
                                          "Error FS 003"};
constexpr AspiMessage kNoSendCommandEntry{"GetProcAddress:\npfnSendASPI32Command not found.",
                                          "Error FS 004"};
constexpr const char* kSupportInfoCaption = "GetASPISupportInfo:";
constexpr const char* kNoAspiText = "Could not find the ASPI manager.";
constexpr const char* kIllegalModeText = "ASPI for Windows does not support real mode.";
constexpr const char* kOldManagerText = "Old ASPI manager.";
constexpr const char* kInitFailedText = "Error initializing ASPI.";

const AspiMessage& LoadFailureMessage(AspiLoadResult::Outcome outcome) {
  switch (outcome) {
    case AspiLoadResult::Outcome::NoSupportInfoEntry:
      return kNoSupportInfoEntry;
    case AspiLoadResult::Outcome::NoSendCommandEntry:
      return kNoSendCommandEntry;
    default:
      return kModuleNotFound;
  }
}

const char* SupportInfoFailureText(uint8_t status) {
  switch (status) {
    case kSsNoAspi:
      return kNoAspiText;
    case kSsIllegalMode:
      return kIllegalModeText;
    case kSsOldManager:
      return kOldManagerText;
    default:
      return kInitFailedText;
  }
}

uint8_t SupportInfoStatus(AspiManager& manager) {
  return static_cast<uint8_t>((manager.GetSupportInfo() >> kSupportInfoStatusShift) &
                              kSupportInfoStatusMask);
}

}  // namespace

bool AtapiDevice::LoadAspi() {
  aspi_.reset();
  AspiLoadResult loaded = platform_.LoadAspi();
  if (loaded.outcome != AspiLoadResult::Outcome::Loaded || loaded.manager == nullptr) {
    const AspiMessage& message = LoadFailureMessage(loaded.outcome);
    notifier_.ShowError(message.text, message.caption);
    return false;
  }
  const uint8_t status = SupportInfoStatus(*loaded.manager);
  if (status != kSsComp) {
    // The manager is freed when `loaded` goes out of scope.
    notifier_.ShowError(SupportInfoFailureText(status), kSupportInfoCaption);
    return false;
  }
  aspi_ = std::move(loaded.manager);
  return true;
}

bool AtapiDevice::ProbeAspi() {
  AspiLoadResult loaded = platform_.LoadAspi();
  if (loaded.outcome != AspiLoadResult::Outcome::Loaded || loaded.manager == nullptr) {
    return false;
  }
  return SupportInfoStatus(*loaded.manager) == kSsComp;
}

void AtapiDevice::UnloadAspi() {
  aspi_.reset();
}

}  // namespace kv
