// A small scripted Platform for exact transport-level tests of AtapiDevice.
//
// Each opcode gets an answer (or a handler that decides per call); the fake copies the answer's
// bytes into the request's buffer, reports what it was told to report, and logs every request.
// Its counter only moves when a test says so (an answer's elapsed ticks, a sleep), so nothing
// here waits in real time.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "drive/platform.h"

namespace kv::test {

struct FakeAnswer {
  bool callSucceeded = true;
  std::vector<uint8_t> data;                    // answer bytes (data in)
  std::optional<uint32_t> reportedTransferred;  // what the platform claims moved; default: copied
  SenseBytes sense{};
  uint8_t senseLength = 0;
  std::optional<uint8_t> aspiStatus;  // default: 01h when good, 04h otherwise
  int64_t elapsedTicks = 0;           // counter advance while the command runs
};

FakeAnswer Good(std::vector<uint8_t> data = {});
// Fixed-format sense (response code 70h).
FakeAnswer CheckCondition(uint8_t key, uint8_t asc, uint8_t ascq = 0);
FakeAnswer TransportFailure();
// A zero-filled answer of `size` bytes with the given bytes set.
std::vector<uint8_t> Bytes(std::size_t size, std::map<std::size_t, uint8_t> set = {});

struct SentCommand {
  ScsiRequest request;
  bool viaAspi = false;
  DeviceHandle handle = kInvalidHandle;
  uint8_t hostAdapter = 0;
  uint8_t target = 0;
  uint8_t lun = 0;
  std::vector<uint8_t> outData;  // the bytes a data-out command sent
};

class FakePlatform : public Platform {
 public:
  using Handler = std::function<FakeAnswer(const ScsiRequest&)>;

  FakePlatform();

  // --- Script ---
  void On(uint8_t opcode, FakeAnswer answer);
  void On(uint8_t opcode, Handler handler);
  // Commands of one opcode in the log.
  std::size_t CountSent(uint8_t opcode) const;
  std::vector<uint8_t> Opcodes() const;

  bool nt = true;
  int64_t frequency = 1000;  // ticks per second; 0: no counter
  int64_t counter = 1000;
  std::vector<uint32_t> sleeps;
  std::vector<SentCommand> sent;
  FakeAnswer unhandled = CheckCondition(0x05, 0x20);  // invalid command operation code

  // Drive nodes: roots listed, which are CD-ROM, which open (and to which handle).
  std::vector<std::string> roots;
  std::set<std::string> cdromRoots;
  std::map<std::string, DeviceHandle> openable;
  std::map<DeviceHandle, ScsiAddressResult> addresses;
  std::vector<std::string> opened;
  std::vector<DeviceHandle> closed;
  std::vector<std::string> nodeEvents;  // "open <root>" and "close <handle>" in call order

  // The manager: loads and reports status 01h with no host adapters when aspiWorks.
  bool aspiWorks = false;
  uint8_t aspiHostAdapters = 0;
  int aspiLoads = 0;

  // --- Platform ---
  bool IsNtFamily() override { return nt; }
  int64_t CounterFrequency() override { return frequency; }
  int64_t CounterNow() override { return counter; }
  void SleepMilliseconds(uint32_t ms) override;
  DriveRootList ListDriveRoots() override;
  bool IsCdromRoot(const std::string& root) override { return cdromRoots.count(root) != 0; }
  DeviceHandle OpenDevice(const std::string& root) override;
  void CloseDevice(DeviceHandle handle) override;
  ScsiAddressResult GetScsiAddress(DeviceHandle handle) override;
  PassThroughResult PassThrough(DeviceHandle handle, const ScsiRequest& request) override;
  AspiLoadResult LoadAspi() override;
  std::string Name() const override { return "fake"; }

  // Runs one request against the script; used by both transports.
  FakeAnswer Run(const ScsiRequest& request, SentCommand entry);

 private:
  std::map<uint8_t, Handler> handlers_;
};

}  // namespace kv::test
