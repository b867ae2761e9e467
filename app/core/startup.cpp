#include "app/core/startup.h"

#include "drive/application_tag.h"

namespace kv {

Startup::Startup(Platform* platform, Notifier& notifier)
    : platform_(platform), notifier_(notifier) {}

Startup::~Startup() {
  Close();
}

void Startup::SetApplicationTag() {
  kv::SetApplicationTag(kApplicationTagPreferAspi);
}

bool Startup::CreateDevice() {
  device_.reset();
  if (platform_ == nullptr) {
    return false;
  }
  try {
    device_ = std::make_unique<AtapiDevice>(*platform_, notifier_);
  } catch (...) {
    // No device object is the same as one that could not be built: the caller reports it.
    device_.reset();
  }
  return device_ != nullptr;
}

const DriveListing& Startup::ListWriters() {
  writers_ = device_ != nullptr ? kv::ListWriters(*device_) : EmptyDriveListing();
  return writers_;
}

bool Startup::SelectDrive(int16_t driveIndex) {
  return device_ != nullptr && device_->SelectDrive(driveIndex);
}

std::optional<int16_t> Startup::SelectWriterLine(int line) {
  const std::optional<int16_t> driveIndex = DriveForLine(writers_, line);
  if (!driveIndex.has_value() || !SelectDrive(*driveIndex)) {
    return std::nullopt;
  }
  return driveIndex;
}

UserDatabaseLoad Startup::LoadUserDatabase() {
  return LoadUserDefinedFile(userCd_, userDvd_);
}

void Startup::Close() {
  device_.reset();
  userCd_.clear();
  userDvd_.clear();
}

}  // namespace kv
