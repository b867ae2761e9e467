// The profile loader on any text: it refuses with a message or gives a profile, never throws, and
// a drive built from a loaded profile runs a whole check with codes in range.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/media_check.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"
#include "fuzz_check.h"

namespace {

class SilentNotifier : public kv::Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

class CountingSink : public kv::ReportSink {
 public:
  void Clear() override { lines = 0; }
  void AppendLine(const std::string&) override { ++lines; }
  int lines = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::string error;
  const auto profile = kv::emu::ParseProfileText(
      std::string(reinterpret_cast<const char*>(data), size), "fuzz", error);
  if (!profile) {
    KV_FUZZ_CHECK(error.rfind("fuzz: ", 0) == 0);
    return 0;
  }
  kv::emu::EmulatedPlatform machine;
  const int index = machine.AddDrive(*profile);
  kv::emu::ApplyAttachment(machine, index, profile->attachment);
  SilentNotifier notifier;
  kv::AtapiDevice device(machine, notifier);
  KV_FUZZ_CHECK(device.GetDriveCount() <= 16);
  if (device.GetDriveCount() > 0 && device.SelectDrive(0)) {
    CountingSink sink;
    kv::MediaCheckFacts facts;
    kv::RunMediaCheck(device, device.GetDriveRecord(0), {}, {}, sink, &facts);
    KV_FUZZ_CHECK(!facts.driveType || *facts.driveType <= kv::kLastDriveType);
    KV_FUZZ_CHECK(!facts.discType || *facts.discType <= kv::kLastDiscType);
  }
  return 0;
}
