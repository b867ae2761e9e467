#include "support/fake_platform.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace kv::test {

namespace {

constexpr uint8_t kFixedSenseCurrent = 0x70;
constexpr uint8_t kFixedSenseLength = 18;
constexpr uint8_t kAspiError = 0x04;

class FakeAspi : public AspiManager {
 public:
  explicit FakeAspi(FakePlatform& platform) : platform_(platform) {}
  uint32_t GetSupportInfo() override {
    return (uint32_t{kSsComp} << 8) | platform_.aspiHostAdapters;
  }
  AspiHaInquiry HaInquiry(uint8_t) override { return {kSsComp, platform_.aspiHostAdapters}; }
  AspiDeviceType GetDeviceType(uint8_t, uint8_t, uint8_t) override { return {0x82, 0}; }
  AspiExecResult Execute(uint8_t hostAdapter, uint8_t target, uint8_t lun,
                         const ScsiRequest& request) override {
    SentCommand entry;
    entry.viaAspi = true;
    entry.hostAdapter = hostAdapter;
    entry.target = target;
    entry.lun = lun;
    const FakeAnswer answer = platform_.Run(request, entry);
    AspiExecResult result;
    const bool good = answer.callSucceeded && answer.senseLength == 0;
    result.srbStatus = answer.aspiStatus.value_or(good ? kSsComp : kAspiError);
    result.senseArea = answer.sense;
    return result;
  }

 private:
  FakePlatform& platform_;
};

}  // namespace

FakeAnswer Good(std::vector<uint8_t> data) {
  FakeAnswer answer;
  answer.data = std::move(data);
  return answer;
}

FakeAnswer CheckCondition(uint8_t key, uint8_t asc, uint8_t ascq) {
  FakeAnswer answer;
  answer.sense[0] = kFixedSenseCurrent;
  answer.sense[2] = key;
  answer.sense[7] = kFixedSenseLength - 8;
  answer.sense[12] = asc;
  answer.sense[13] = ascq;
  answer.senseLength = kFixedSenseLength;
  return answer;
}

FakeAnswer TransportFailure() {
  FakeAnswer answer;
  answer.callSucceeded = false;
  return answer;
}

std::vector<uint8_t> Bytes(std::size_t size, std::map<std::size_t, uint8_t> set) {
  std::vector<uint8_t> bytes(size, 0);
  for (const auto& [at, value] : set) {
    if (at >= bytes.size()) {
      bytes.resize(at + 1, 0);
    }
    bytes[at] = value;
  }
  return bytes;
}

FakePlatform::FakePlatform() {
  On(0x00, Good());
}

void FakePlatform::On(uint8_t opcode, FakeAnswer answer) {
  handlers_[opcode] = [answer](const ScsiRequest&) { return answer; };
}

void FakePlatform::On(uint8_t opcode, Handler handler) {
  handlers_[opcode] = std::move(handler);
}

std::size_t FakePlatform::CountSent(uint8_t opcode) const {
  return static_cast<std::size_t>(std::count_if(
      sent.begin(), sent.end(), [&](const SentCommand& c) { return c.request.cdb[0] == opcode; }));
}

std::vector<uint8_t> FakePlatform::Opcodes() const {
  std::vector<uint8_t> ops;
  for (const SentCommand& c : sent) {
    ops.push_back(c.request.cdb[0]);
  }
  return ops;
}

void FakePlatform::SleepMilliseconds(uint32_t ms) {
  sleeps.push_back(ms);
  counter += static_cast<int64_t>(ms) * frequency / 1000;
}

DriveRootList FakePlatform::ListDriveRoots() {
  DriveRootList list;
  list.outcome = roots.empty() ? DriveRootList::Outcome::Empty : DriveRootList::Outcome::Ok;
  list.roots = roots;
  return list;
}

void FakePlatform::CloseDevice(DeviceHandle handle) {
  closed.push_back(handle);
  nodeEvents.push_back("close " + std::to_string(handle));
}

DeviceHandle FakePlatform::OpenDevice(const std::string& root) {
  opened.push_back(root);
  nodeEvents.push_back("open " + root);
  const auto it = openable.find(root);
  return it == openable.end() ? kInvalidHandle : it->second;
}

ScsiAddressResult FakePlatform::GetScsiAddress(DeviceHandle handle) {
  const auto it = addresses.find(handle);
  if (it == addresses.end()) {
    return ScsiAddressResult{ScsiAddressResult::Outcome::CallFailed};
  }
  return it->second;
}

FakeAnswer FakePlatform::Run(const ScsiRequest& request, SentCommand entry) {
  entry.request = request;
  if (request.direction == kDirectionOut && request.buffer != nullptr) {
    entry.outData.assign(request.buffer, request.buffer + request.length);
  }
  const auto it = handlers_.find(request.cdb[0]);
  FakeAnswer answer = it != handlers_.end() ? it->second(request) : unhandled;
  sent.push_back(std::move(entry));
  counter += answer.elapsedTicks;
  if (request.direction == kDirectionIn && request.buffer != nullptr && answer.callSucceeded) {
    const std::size_t n = std::min<std::size_t>(answer.data.size(), request.length);
    if (n != 0) {
      std::memcpy(request.buffer, answer.data.data(), n);
    }
    if (!answer.reportedTransferred) {
      answer.reportedTransferred = static_cast<uint32_t>(n);
    }
  }
  return answer;
}

PassThroughResult FakePlatform::PassThrough(DeviceHandle handle, const ScsiRequest& request) {
  SentCommand entry;
  entry.handle = handle;
  const FakeAnswer answer = Run(request, entry);
  PassThroughResult result;
  result.callSucceeded = answer.callSucceeded;
  result.transferred =
      answer.reportedTransferred.value_or(request.direction == kDirectionOut ? request.length : 0);
  result.sense = answer.sense;
  result.senseLength = answer.senseLength;
  return result;
}

AspiLoadResult FakePlatform::LoadAspi() {
  ++aspiLoads;
  AspiLoadResult result;
  if (!aspiWorks) {
    result.outcome = AspiLoadResult::Outcome::ModuleNotFound;
    return result;
  }
  result.outcome = AspiLoadResult::Outcome::Loaded;
  result.manager = std::make_unique<FakeAspi>(*this);
  return result;
}

}  // namespace kv::test
