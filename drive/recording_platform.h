// A platform decorator that records everything the device asks of the drives: the drive-node
// list, which nodes open and where they sit, the ASPI-style manager's devices, and every command
// with the bytes it moved, its status, sense, transferred count and time. The trace writer
// (drive/platform/emulated/trace_profile.h) turns the record into drive profiles that replay it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "drive/platform.h"
#include "drive/sense.h"

namespace kv {

struct RecordedCommand {
  CommandPhase phase = CommandPhase::StartUp;
  Cdb cdb{};
  uint8_t direction = kDirectionNone;
  uint32_t length = 0;
  // Where it went: a drive node (pass-through) or an ASPI address.
  bool viaAspi = false;
  std::string root;
  uint8_t hostAdapter = 0;
  uint8_t target = 0;
  uint8_t lun = 0;
  // What came back.
  bool transportFailure = false;  // the call failed, or the manager failed without sense
  std::optional<SenseFields> sense;
  uint32_t transferred = 0;   // as the platform reported it (ASPI: the requested length)
  std::vector<uint8_t> data;  // data-in: the bytes written into the buffer; data-out: those sent
  uint32_t elapsedMs = 0;
};

struct RecordedRoot {
  std::string root;
  std::optional<bool> cdrom;  // what IsCdromRoot answered, if asked
  bool opened = false;
  bool openFailed = false;
  std::optional<ScsiAddressResult> address;
};

struct RecordedAspiDevice {
  uint8_t hostAdapter = 0;
  uint8_t target = 0;
  uint8_t lun = 0;
  uint8_t deviceType = 0;
};

struct Trace {
  std::vector<RecordedRoot> roots;  // in the order the node list gave them, then any others asked
  bool aspiLoaded = false;
  uint8_t aspiHostAdapterCount = 0;
  std::vector<RecordedAspiDevice> aspiDevices;
  std::vector<RecordedCommand> commands;
};

class RecordingPlatform : public Platform {
 public:
  // The inner platform must outlive this one.
  explicit RecordingPlatform(Platform& inner);
  ~RecordingPlatform() override;

  const Trace& Recorded() const { return trace_; }

  bool IsNtFamily() override { return inner_.IsNtFamily(); }
  int64_t CounterFrequency() override { return inner_.CounterFrequency(); }
  int64_t CounterNow() override { return inner_.CounterNow(); }
  void SleepMilliseconds(uint32_t ms) override { inner_.SleepMilliseconds(ms); }
  DriveRootList ListDriveRoots() override;
  bool IsCdromRoot(const std::string& root) override;
  DeviceHandle OpenDevice(const std::string& root) override;
  void CloseDevice(DeviceHandle handle) override;
  ScsiAddressResult GetScsiAddress(DeviceHandle handle) override;
  PassThroughResult PassThrough(DeviceHandle handle, const ScsiRequest& request) override;
  AspiLoadResult LoadAspi() override;
  std::vector<DeniedNode> DeniedNodes() const override { return inner_.DeniedNodes(); }
  void SetCommandPhase(CommandPhase phase) override;
  std::string Name() const override { return inner_.Name(); }

 private:
  friend class RecordingAspiManager;

  RecordedRoot& RootEntry(const std::string& root);
  // Starts a command's record: where it goes and the buffer as it was before.
  RecordedCommand Begin(const ScsiRequest& request, std::vector<uint8_t>& before) const;
  // Completes it with the buffer as the call left it and the time it took.
  void Finish(RecordedCommand& command, const ScsiRequest& request,
              const std::vector<uint8_t>& before, int64_t startTicks);

  Platform& inner_;
  Trace trace_;
  CommandPhase phase_ = CommandPhase::StartUp;
  std::map<DeviceHandle, std::string> openRoots_;
};

}  // namespace kv
