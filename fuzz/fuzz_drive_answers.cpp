// A drive whose answers, answer lengths, sense and transport failures come from the fuzz input:
// enumeration and a whole media check run on it, complete, and report codes in range.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/core/media_check.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "fuzz_check.h"

namespace {

using kv::emu::DiscKind;

// Every command key an enumeration, a CD check and a DVD check send, and every command at once.
constexpr std::array<const char*, 16> kKeys = {"00",    "12", "23",    "43/04", "46/00", "46/01",
                                               "46/02", "51", "5A/2A", "AC/03", "AD/00", "AD/0E",
                                               "B6",    "BB", "DF",    "*"};
constexpr uint32_t kLongestAnswer = 300;

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

kv::emu::Fault MakeFault(FuzzedDataProvider& input) {
  kv::emu::Fault fault;
  switch (input.ConsumeIntegralInRange<int>(0, 6)) {
    case 0:
      fault.sense =
          kv::emu::Sense{input.ConsumeIntegral<uint8_t>(), input.ConsumeIntegral<uint8_t>(),
                         input.ConsumeIntegral<uint8_t>()};
      break;
    case 1:
      fault.transportFailure = true;
      break;
    case 2:
      fault.shortBytes = input.ConsumeIntegralInRange<uint32_t>(0, kLongestAnswer);
      break;
    case 3:
      fault.misreport = input.ConsumeIntegralInRange<uint32_t>(0, 70000);
      break;
    case 4:
      fault.latencyMs = input.ConsumeIntegralInRange<uint32_t>(0, 200000);
      break;
    case 5:
      fault.sense = kv::emu::kSenseMediumNotPresent;
      break;
    default:
      fault.sense = kv::emu::Sense{kv::emu::kSenseKeyUnitAttention, 0x28, 0x00};
      break;
  }
  fault.failAfter = input.ConsumeIntegralInRange<uint32_t>(0, 4);
  if (input.ConsumeBool()) {
    fault.times = input.ConsumeIntegralInRange<uint32_t>(0, 4);
  }
  return fault;
}

kv::emu::Disc MakeDisc(FuzzedDataProvider& input) {
  kv::emu::Disc disc;
  disc.kind = static_cast<DiscKind>(input.ConsumeIntegralInRange<int>(0, 4));
  if (disc.kind == DiscKind::Dvd) {
    disc.bookType = input.ConsumeIntegralInRange<uint8_t>(0, 15);
  }
  disc.hasAtip = disc.kind == DiscKind::CdR || disc.kind == DiscKind::CdRw;
  return disc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  kv::emu::DriveProfile profile;
  profile.drive.profiles = {0x0008, 0x0009, 0x000A, 0x0010, 0x0011, 0x0013, 0x0014, 0x001A, 0x001B};
  profile.drive.padToAllocation = input.ConsumeBool();
  profile.disc = MakeDisc(input);
  profile.readiness.notReadyPolls = input.ConsumeIntegralInRange<uint32_t>(0, 3);
  profile.readiness.unitAttentionPolls = input.ConsumeIntegralInRange<uint32_t>(0, 2);
  while (input.remaining_bytes() > 0) {
    const char* key = kKeys[input.ConsumeIntegralInRange<std::size_t>(0, kKeys.size() - 1)];
    if (input.ConsumeBool()) {
      profile.faults[key].push_back(MakeFault(input));
    } else if (std::string(key) != "*") {
      const auto length = input.ConsumeIntegralInRange<uint32_t>(0, kLongestAnswer);
      profile.raw[key] = {input.ConsumeBytes<uint8_t>(length)};
    }
  }

  kv::emu::EmulatedPlatform machine;
  machine.AddDrive(profile);
  SilentNotifier notifier;
  kv::AtapiDevice device(machine, notifier);
  KV_FUZZ_CHECK(device.GetDriveCount() <= 16);
  for (uint16_t i = 0; i < device.GetDriveCount(); ++i) {
    const kv::DriveRecord* record = device.GetDriveRecord(i);
    KV_FUZZ_CHECK(record != nullptr);
  }
  if (device.GetDriveCount() > 0 && device.SelectDrive(0)) {
    CountingSink sink;
    kv::MediaCheckFacts facts;
    kv::RunMediaCheck(device, device.GetDriveRecord(0), {}, {}, sink, &facts);
    KV_FUZZ_CHECK(!facts.driveType || *facts.driveType <= kv::kLastDriveType);
    KV_FUZZ_CHECK(!facts.discType || *facts.discType <= kv::kLastDiscType);
    KV_FUZZ_CHECK(sink.lines < 64);
  }
  return 0;
}
