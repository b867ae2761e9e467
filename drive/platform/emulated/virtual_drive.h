// A virtual CD/DVD drive that answers MMC commands from a DriveProfile.
//
// Commands are dispatched through a table indexed by opcode (virtual_drive_commands.cpp) whose
// entries say whether a medium is needed. Like a real transport the drive moves only the bytes
// its answer holds (at most the allocation length) and leaves the rest of the host buffer alone.
// Raw answers from the profile replace the built answers; faults are applied last.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "drive/platform.h"
#include "drive/platform/emulated/drive_profile.h"
#include "drive/platform/emulated/sense.h"

namespace kv::emu {

struct DriveResponse {
  // TimedOut: the drive never answered; Refused: the system did not let the command through.
  enum class Outcome : uint8_t { Good, CheckCondition, TransportFailure, TimedOut, Refused };
  Outcome outcome = Outcome::Good;
  Sense sense;
  uint32_t transferred = 0;  // bytes the transport reports as moved
  uint32_t moved = 0;        // bytes actually written into (or read from) the host buffer
  uint32_t latencyMs = 0;    // virtual time the command took
};

// What the drive keeps of the last SET STREAMING descriptor.
struct StreamingRequest {
  uint32_t startLba = 0;
  uint32_t endLba = 0;
  uint32_t readSizeKb = 0;
  uint32_t readTimeMs = 0;
  uint32_t writeSizeKb = 0;
  uint32_t writeTimeMs = 0;
};

// The key a command's raw answers and faults are filed under: "43/04", "5A/2A", "12".
std::string CommandKey(const Cdb& cdb);
// The opcode-only key ("43").
std::string OpcodeKey(uint8_t opcode);

class VirtualDrive {
 public:
  explicit VirtualDrive(DriveProfile profile);

  // Runs one command. For data-in commands the answer is copied into request.buffer.
  DriveResponse Execute(const ScsiRequest& request);

  const DriveProfile& Profile() const { return profile_; }
  DriveProfile& MutableProfile() { return profile_; }

  // Changing the disc raises a unit attention for the next command, as a real drive does.
  void InsertDisc(const Disc& disc);
  void EjectDisc();
  // Restarts the becoming-ready sequence (a disc just closed in).
  void SetBecomingReady(uint32_t notReadyPolls, uint32_t unitAttentionPolls);

  uint16_t CurrentWriteSpeed() const { return currentWriteSpeed_; }
  const std::vector<StreamingRequest>& StreamingRequests() const { return streaming_; }
  uint32_t CommandCount() const { return commandCount_; }

  // The answer a handler builds, before transport rules and faults (used by tests and raw dumps).
  struct Answer {
    Sense sense;
    std::vector<uint8_t> bytes;
  };
  // Readiness polls count here too: this is the drive's side of one command.
  Answer BuildAnswer(const Cdb& cdb, const uint8_t* dataOut, uint32_t dataOutLength);

 private:
  struct DataOut {
    const uint8_t* data = nullptr;
    uint32_t length = 0;
  };
  struct CommandEntry;
  static const CommandEntry* FindCommand(uint8_t opcode);

  Answer cmd_test_unit_ready(const Cdb& cdb, const DataOut& out);
  Answer cmd_inquiry(const Cdb& cdb, const DataOut& out);
  Answer cmd_mode_sense_10(const Cdb& cdb, const DataOut& out);
  Answer cmd_get_configuration(const Cdb& cdb, const DataOut& out);
  Answer cmd_get_performance(const Cdb& cdb, const DataOut& out);
  Answer cmd_read_disc_information(const Cdb& cdb, const DataOut& out);
  Answer cmd_read_dvd_structure(const Cdb& cdb, const DataOut& out);
  Answer cmd_read_format_capacities(const Cdb& cdb, const DataOut& out);
  Answer cmd_read_toc_pma_atip(const Cdb& cdb, const DataOut& out);
  Answer cmd_set_cd_speed(const Cdb& cdb, const DataOut& out);
  Answer cmd_set_streaming(const Cdb& cdb, const DataOut& out);
  Answer cmd_vendor_media_id(const Cdb& cdb, const DataOut& out);

  uint16_t CurrentProfileNumber() const;
  const std::vector<WriteSpeedDescriptor>& WriteSpeeds() const;
  bool HasMedium() const { return profile_.disc.kind != DiscKind::None; }
  bool IsDvd() const { return profile_.disc.kind == DiscKind::Dvd; }
  // The faults of this key that hit this time (each counts the commands it has seen).
  std::vector<Fault> FireFaults(const std::string& key);

  DriveProfile profile_;
  uint16_t currentWriteSpeed_ = 0;
  uint32_t unitAttentionLeft_ = 0;
  uint32_t notReadyLeft_ = 0;
  uint32_t commandCount_ = 0;
  std::vector<StreamingRequest> streaming_;
  struct FaultCounter {
    uint32_t seen = 0;
    uint32_t fired = 0;
  };
  std::map<std::pair<std::string, std::size_t>, FaultCounter> faultCounters_;
};

}  // namespace kv::emu
