// One SG_IO call on an open block or sg node, shared by the pass-through and the sg manager.
#pragma once

#include <cstdint>

#include "drive/platform.h"

namespace kv {

struct SgIoOutcome {
  PassThroughResult result;  // callSucceeded, transferred, raw sense, osError
  uint8_t scsiStatus = 0;    // the SCSI status byte the drive returned
};

// Sends the request on fd. callSucceeded means the command was delivered and the drive answered
// it: good status, or a check condition that came with sense. A refused or undeliverable call
// sets osError (errno, or EIO when the host or driver reports a failure).
SgIoOutcome RunSgIo(int fd, const ScsiRequest& request);

}  // namespace kv
