// Host time and commands sent of one media check on an emulated drive: a blank CD-R and a DVD+R,
// each in a DVD writer. The command count comes from the emulated machine's CDB log.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/media_check.h"
#include "app/core/startup.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"

namespace {

class QuietNotifier : public kv::Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

class DiscardingSink : public kv::ReportSink {
 public:
  void Clear() override { lines = 0; }
  void AppendLine(const std::string& line) override {
    benchmark::DoNotOptimize(line.data());
    ++lines;
  }
  int lines = 0;
};

kv::emu::DriveProfile DvdWriter() {
  kv::emu::DriveProfile p;
  p.drive.profiles = {0x0008, 0x0009, 0x000A, 0x0010, 0x0011, 0x0013, 0x0014, 0x001A, 0x001B};
  p.drive.writeSpeeds = {{2295103, 11080, 11080}};
  return p;
}

kv::emu::DriveProfile BlankCdrDrive() {
  kv::emu::DriveProfile p = DvdWriter();
  p.disc.kind = kv::emu::DiscKind::CdR;
  p.disc.hasAtip = true;
  p.disc.atipSubType = 3;
  p.disc.maxWriteSpeed = 7056;
  return p;
}

kv::emu::DriveProfile DvdPlusRDrive() {
  kv::emu::DriveProfile p = DvdWriter();
  p.disc.kind = kv::emu::DiscKind::Dvd;
  p.disc.bookType = 10;
  p.disc.mediaId = "RICOHJPN";
  p.disc.typeId = "R03";
  p.disc.capacityBlocks = 2295104;
  return p;
}

void RunCheck(benchmark::State& state, kv::emu::DriveProfile profile) {
  QuietNotifier notifier;
  kv::emu::EmulatedPlatform platform;
  platform.AddDrive(std::move(profile));
  // The window's start-up without the user database, so that no setting of this machine counts.
  kv::Startup startup(&platform, notifier);
  startup.SetApplicationTag();
  constexpr int kFirstWriterLine = 0;
  std::optional<int16_t> drive;
  if (startup.CreateDevice()) {
    startup.ListWriters();
    drive = startup.SelectWriterLine(kFirstWriterLine);
  }
  if (!drive.has_value()) {
    state.SkipWithError("the emulated writer could not be selected");
    return;
  }
  kv::AtapiDevice& device = *startup.Device();
  const kv::DriveRecord* record = device.GetDriveRecord(static_cast<uint32_t>(*drive));
  DiscardingSink sink;
  std::size_t commands = 0;
  int lines = 0;
  for (auto _ : state) {
    platform.ClearCdbLog();
    kv::RunMediaCheck(device, record, startup.UserCd(), startup.UserDvd(), sink);
    commands = platform.CdbLog().size();
    lines = sink.lines;
  }
  state.counters["commands"] = static_cast<double>(commands);
  state.counters["lines"] = lines;
}

void BM_MediaCheckBlankCdr(benchmark::State& state) {
  RunCheck(state, BlankCdrDrive());
}
void BM_MediaCheckDvdPlusR(benchmark::State& state) {
  RunCheck(state, DvdPlusRDrive());
}

BENCHMARK(BM_MediaCheckBlankCdr)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MediaCheckDvdPlusR)->Unit(benchmark::kMicrosecond);

}  // namespace
