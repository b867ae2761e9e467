#include "drive/recording_platform.h"

#include <algorithm>

namespace kv {

namespace {

constexpr int64_t kMillisecondsPerSecond = 1000;
constexpr std::size_t kAspiSenseLength = 14;  // what the ASPI request asks the manager for

}  // namespace

// Wraps the inner manager so that its commands and devices are recorded too.
class RecordingAspiManager : public AspiManager {
 public:
  RecordingAspiManager(RecordingPlatform& owner, std::unique_ptr<AspiManager> inner)
      : owner_(owner), inner_(std::move(inner)) {}

  uint32_t GetSupportInfo() override {
    const uint32_t info = inner_->GetSupportInfo();
    owner_.trace_.aspiHostAdapterCount = static_cast<uint8_t>(info & 0xFF);
    return info;
  }
  AspiHaInquiry HaInquiry(uint8_t hostAdapter) override { return inner_->HaInquiry(hostAdapter); }

  AspiDeviceType GetDeviceType(uint8_t hostAdapter, uint8_t target, uint8_t lun) override {
    const AspiDeviceType type = inner_->GetDeviceType(hostAdapter, target, lun);
    if (type.srbStatus == kSsComp) {
      auto& devices = owner_.trace_.aspiDevices;
      const bool known = std::any_of(devices.begin(), devices.end(), [&](const auto& d) {
        return d.hostAdapter == hostAdapter && d.target == target && d.lun == lun;
      });
      if (!known) {
        devices.push_back({hostAdapter, target, lun, type.deviceType});
      }
    }
    return type;
  }

  AspiExecResult Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                         const ScsiRequest& request) override {
    std::vector<uint8_t> before;
    RecordedCommand command = owner_.Begin(request, before);
    command.viaAspi = true;
    command.hostAdapter = hostAdapter;
    command.target = target;
    command.lun = lun;
    const int64_t start = owner_.inner_.CounterNow();
    const AspiExecResult result = inner_->Execute(hostAdapter, target, lun, request);
    command.transferred = request.length;
    if (result.srbStatus != kSsComp) {
      const SenseFields sense = DecodeSense(result.senseArea, kAspiSenseLength);
      if (sense.key != 0) {
        command.sense = sense;
      } else {
        command.transportFailure = true;
      }
    }
    owner_.Finish(command, request, before, start);
    return result;
  }

 private:
  RecordingPlatform& owner_;
  std::unique_ptr<AspiManager> inner_;
};

RecordingPlatform::RecordingPlatform(Platform& inner) : inner_(inner) {}
RecordingPlatform::~RecordingPlatform() = default;

RecordedRoot& RecordingPlatform::RootEntry(const std::string& root) {
  for (RecordedRoot& entry : trace_.roots) {
    if (entry.root == root) {
      return entry;
    }
  }
  trace_.roots.push_back(RecordedRoot{root, std::nullopt, false, false, std::nullopt});
  return trace_.roots.back();
}

DriveRootList RecordingPlatform::ListDriveRoots() {
  DriveRootList list = inner_.ListDriveRoots();
  for (const std::string& root : list.roots) {
    RootEntry(root);
  }
  return list;
}

bool RecordingPlatform::IsCdromRoot(const std::string& root) {
  const bool cdrom = inner_.IsCdromRoot(root);
  RootEntry(root).cdrom = cdrom;
  return cdrom;
}

DeviceHandle RecordingPlatform::OpenDevice(const std::string& root) {
  const DeviceHandle handle = inner_.OpenDevice(root);
  RecordedRoot& entry = RootEntry(root);
  if (handle == kInvalidHandle) {
    entry.openFailed = true;
  } else {
    entry.opened = true;
    openRoots_[handle] = root;
  }
  return handle;
}

void RecordingPlatform::CloseDevice(DeviceHandle handle) {
  openRoots_.erase(handle);
  inner_.CloseDevice(handle);
}

ScsiAddressResult RecordingPlatform::GetScsiAddress(DeviceHandle handle) {
  const ScsiAddressResult address = inner_.GetScsiAddress(handle);
  const auto it = openRoots_.find(handle);
  if (it != openRoots_.end()) {
    RootEntry(it->second).address = address;
  }
  return address;
}

RecordedCommand RecordingPlatform::Begin(const ScsiRequest& request,
                                         std::vector<uint8_t>& before) const {
  RecordedCommand command;
  command.phase = phase_;
  command.cdb = request.cdb;
  command.direction = request.direction;
  command.length = request.length;
  if (request.buffer != nullptr && request.length > 0) {
    before.assign(request.buffer, request.buffer + request.length);
  }
  return command;
}

void RecordingPlatform::Finish(RecordedCommand& command, const ScsiRequest& request,
                               const std::vector<uint8_t>& before, int64_t startTicks) {
  const int64_t frequency = inner_.CounterFrequency();
  if (frequency > 0) {
    const int64_t ticks = std::max<int64_t>(inner_.CounterNow() - startTicks, 0);
    command.elapsedMs = static_cast<uint32_t>(ticks * kMillisecondsPerSecond / frequency);
  }
  if (request.buffer == nullptr || request.length == 0) {
    trace_.commands.push_back(std::move(command));
    return;
  }
  if (request.direction == kDirectionOut) {
    command.data = before;
  } else if (request.direction == kDirectionIn && !command.sense && !command.transportFailure) {
    // The bytes the drive moved: what the transport reported, and any byte it changed beyond.
    std::size_t moved = std::min<std::size_t>(command.transferred, request.length);
    for (std::size_t i = request.length; i > moved; --i) {
      if (request.buffer[i - 1] != before[i - 1]) {
        moved = i;
        break;
      }
    }
    command.data.assign(request.buffer, request.buffer + moved);
  }
  trace_.commands.push_back(std::move(command));
}

PassThroughResult RecordingPlatform::PassThrough(DeviceHandle handle, const ScsiRequest& request) {
  std::vector<uint8_t> before;
  RecordedCommand command = Begin(request, before);
  const auto it = openRoots_.find(handle);
  command.root = it != openRoots_.end() ? it->second : std::string();
  const int64_t start = inner_.CounterNow();
  const PassThroughResult result = inner_.PassThrough(handle, request);
  command.transferred = result.transferred;
  if (!result.callSucceeded) {
    command.transportFailure = true;
  } else {
    const SenseFields sense = DecodeSense(result.sense, result.senseLength);
    if (sense.key != 0) {
      command.sense = sense;
    }
  }
  Finish(command, request, before, start);
  return result;
}

AspiLoadResult RecordingPlatform::LoadAspi() {
  AspiLoadResult result = inner_.LoadAspi();
  if (result.outcome == AspiLoadResult::Outcome::Loaded && result.manager) {
    trace_.aspiLoaded = true;
    result.manager = std::make_unique<RecordingAspiManager>(*this, std::move(result.manager));
  }
  return result;
}

void RecordingPlatform::SetCommandPhase(CommandPhase phase) {
  phase_ = phase;
  inner_.SetCommandPhase(phase);
}

}  // namespace kv
