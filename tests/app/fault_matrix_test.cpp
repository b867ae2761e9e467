// Every command a CD check and a DVD check send, crossed with every fault a drive or its bridge
// shows: sense (NOT READY 3Ah, ILLEGAL REQUEST, UNIT ATTENTION), a failed transport, each short
// answer length from none to the whole answer, a length field that claims more than was sent, and
// a command that takes longer than the time-out. The check must end, report codes in range and
// print only what the answers hold: it runs twice with the host buffer filled with two different
// bytes before every command, and a report built from bytes the drive never sent would differ.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/core/media_check.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "drive/platform/emulated/profile_loader.h"

namespace kv {
namespace {

using Lines = std::vector<std::string>;

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string&, const std::string&) override {}
};

class CollectingSink : public ReportSink {
 public:
  void Clear() override { lines.clear(); }
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  Lines lines;
};

// The emulated machine behind a platform that fills the host buffer of every data-in command with
// one byte before the drive answers, and keeps the first answer of each command key.
class PoisoningPlatform : public Platform {
 public:
  PoisoningPlatform(emu::EmulatedPlatform& machine, uint8_t poison)
      : machine_(machine), poison_(poison) {}

  bool IsNtFamily() override { return machine_.IsNtFamily(); }
  int64_t CounterFrequency() override { return machine_.CounterFrequency(); }
  int64_t CounterNow() override { return machine_.CounterNow(); }
  void SleepMilliseconds(uint32_t ms) override { machine_.SleepMilliseconds(ms); }
  DriveRootList ListDriveRoots() override { return machine_.ListDriveRoots(); }
  bool IsCdromRoot(const std::string& root) override { return machine_.IsCdromRoot(root); }
  DeviceHandle OpenDevice(const std::string& root) override { return machine_.OpenDevice(root); }
  void CloseDevice(DeviceHandle handle) override { machine_.CloseDevice(handle); }
  ScsiAddressResult GetScsiAddress(DeviceHandle handle) override {
    return machine_.GetScsiAddress(handle);
  }
  AspiLoadResult LoadAspi() override { return machine_.LoadAspi(); }
  std::string Name() const override { return "poisoning"; }

  PassThroughResult PassThrough(DeviceHandle handle, const ScsiRequest& request) override {
    const bool dataIn = request.direction == kDirectionIn && request.buffer != nullptr;
    if (dataIn) {
      std::memset(request.buffer, poison_, request.length);
    }
    const PassThroughResult result = machine_.PassThrough(handle, request);
    const std::string key = emu::CommandKey(request.cdb);
    if (dataIn && result.callSucceeded && result.senseLength == 0 && !answers.count(key)) {
      const uint32_t moved = std::min(result.transferred, request.length);
      answers[key].assign(request.buffer, request.buffer + moved);
    }
    return result;
  }

  std::map<std::string, std::vector<uint8_t>> answers;  // first answer per command key

 private:
  emu::EmulatedPlatform& machine_;
  uint8_t poison_;
};

struct CheckRun {
  Lines lines;
  MediaCheckFacts facts;
  std::map<std::string, std::vector<uint8_t>> answers;
};

// Enumeration, then a check on the one drive, opened directly so that the check runs even when
// a fault kept the drive out of the list.
CheckRun RunCheck(const emu::DriveProfile& profile, uint8_t poison) {
  emu::EmulatedPlatform machine;
  machine.AddDrive(profile);
  PoisoningPlatform platform(machine, poison);
  SilentNotifier notifier;
  AtapiDevice device(platform, notifier);
  device.SetAddress(platform.OpenDevice("sr0"), 0, 0, 0, 0);
  DriveRecord record;
  record.DriveTypeName = "listed";
  CollectingSink sink;
  CheckRun run;
  RunMediaCheck(device, &record, {}, {}, sink, &run.facts);
  run.lines = sink.lines;
  run.answers = platform.answers;
  return run;
}

// Where an answer says how long it is: the offset and width of its length field.
struct LengthField {
  std::size_t offset;
  std::size_t width;
};

std::optional<LengthField> LengthFieldOf(const std::string& key) {
  static const std::map<std::string, LengthField> fields = {
      {"12", {4, 1}},    {"23", {3, 1}},    {"43/04", {0, 2}}, {"46/00", {0, 4}},
      {"46/01", {0, 4}}, {"46/02", {0, 4}}, {"51", {0, 2}},    {"5A/2A", {0, 2}},
      {"AC/03", {0, 4}}, {"AD/00", {0, 2}}, {"AD/0E", {0, 2}},
  };
  const auto it = fields.find(key);
  return it == fields.end() ? std::nullopt : std::optional<LengthField>(it->second);
}

struct NamedFault {
  std::string name;
  emu::DriveProfile profile;
};

// The faults of one command key, each as the whole profile it runs on.
std::vector<NamedFault> FaultsOf(const emu::DriveProfile& base, const std::string& key,
                                 const std::vector<uint8_t>& answer) {
  std::vector<NamedFault> faults;
  const auto withFault = [&](const std::string& name, const emu::Fault& fault) {
    emu::DriveProfile profile = base;
    profile.faults[key].push_back(fault);
    faults.push_back({name, std::move(profile)});
  };
  const struct {
    const char* name;
    emu::Sense sense;
  } senses[] = {
      {"not ready 3A", emu::kSenseMediumNotPresent},
      {"illegal request", {emu::kSenseKeyIllegalRequest, 0x24, 0x00}},
      {"unit attention", {emu::kSenseKeyUnitAttention, 0x28, 0x00}},
  };
  for (const auto& s : senses) {
    emu::Fault fault;
    fault.sense = s.sense;
    withFault(s.name, fault);
  }
  emu::Fault transport;
  transport.transportFailure = true;
  withFault("transport failure", transport);
  emu::Fault slow;
  slow.latencyMs = kCommandTimeoutSeconds * 1000 + 1;
  withFault("past the time-out", slow);
  for (uint32_t length = 0; length <= answer.size(); ++length) {
    emu::Fault fault;
    fault.shortBytes = length;
    withFault("short " + std::to_string(length), fault);
  }
  if (const auto field = LengthFieldOf(key);
      field && answer.size() >= field->offset + field->width) {
    emu::DriveProfile profile = base;
    std::vector<uint8_t> claiming = answer;
    std::memset(claiming.data() + field->offset, 0xFF, field->width);
    profile.raw[key] = {claiming};
    faults.push_back({"length field claims more", std::move(profile)});
  }
  return faults;
}

emu::DriveProfile Sample(const std::string& file) {
  std::string error;
  auto profile = emu::LoadProfileFile(std::string(KV_PROFILE_DIR) + "/" + file, error);
  EXPECT_TRUE(profile.has_value()) << error;
  return profile.value_or(emu::DriveProfile{});
}

class FaultMatrixTest : public testing::TestWithParam<const char*> {};

TEST_P(FaultMatrixTest, EveryCommandUnderEveryFaultGivesAReportOfSentBytesOnly) {
  const emu::DriveProfile base = Sample(GetParam());
  const CheckRun clean = RunCheck(base, 0x00);
  ASSERT_TRUE(clean.facts.completed);
  ASSERT_FALSE(clean.answers.empty());

  // Every command key the enumeration and the check sent, including those without data.
  emu::EmulatedPlatform probe;
  probe.AddDrive(base);
  std::map<std::string, std::vector<uint8_t>> keys = clean.answers;
  {
    PoisoningPlatform platform(probe, 0);
    SilentNotifier notifier;
    AtapiDevice device(platform, notifier);
    device.SetAddress(platform.OpenDevice("sr0"), 0, 0, 0, 0);
    DriveRecord record;
    CollectingSink sink;
    RunMediaCheck(device, &record, {}, {}, sink);
  }
  for (const auto& entry : probe.CdbLog()) {
    keys.emplace(emu::CommandKey(entry.cdb), std::vector<uint8_t>{});
  }

  int checks = 0;
  int failures = 0;
  for (const auto& [key, answer] : keys) {
    for (const NamedFault& fault : FaultsOf(base, key, answer)) {
      const CheckRun low = RunCheck(fault.profile, 0x00);
      const CheckRun high = RunCheck(fault.profile, 0xFF);
      ++checks;
      const bool inRange = (!low.facts.driveType || *low.facts.driveType <= kLastDriveType) &&
                           (!low.facts.discType || *low.facts.discType <= kLastDiscType);
      if (low.lines != high.lines || !inRange) {
        ++failures;
        if (failures <= 10) {
          ADD_FAILURE() << key << " / " << fault.name << ": the report depends on bytes the drive "
                        << "never sent (or a code is out of range)\n  with 00h: "
                        << testing::PrintToString(low.lines)
                        << "\n  with FFh: " << testing::PrintToString(high.lines);
        }
      }
    }
  }
  std::cout << GetParam() << ": " << keys.size() << " command keys, " << checks
            << " faulty checks, " << failures << " failed\n";
  RecordProperty("checks", checks);
  EXPECT_EQ(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(SampleDiscs, FaultMatrixTest,
                         testing::Values("orvelix-dvdrw-blank-cdr.json",
                                         "orvelix-dvdrw-dvdplusr.json",
                                         "orvelix-dvdrw-dvdminusr.json"),
                         [](const auto& info) {
                           std::string name = info.param;
                           name = name.substr(0, name.find('.'));
                           for (char& c : name) {
                             c = c == '-' ? '_' : c;
                           }
                           return name;
                         });

}  // namespace
}  // namespace kv
