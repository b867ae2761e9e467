// One SG_IO call on an open block or sg node, shared by the pass-through and the sg manager.
#pragma once

#include <scsi/sg.h>

#include <cstdint>

#include "drive/platform.h"

namespace kv {

// The longest the kernel is asked to wait for one command. None of the commands this program sends
// writes or formats: they read status and descriptions, or set a speed, which a working drive
// answers within a few seconds even while it spins a disc up. 30 s is the time-out the kernel's own
// CD/DVD driver gives the same kind of command; a drive or USB bridge that has not answered by
// then is hung, and the process, which cannot be interrupted while the kernel waits, is free
// again once this bound (and the kernel's abort of the command) has passed.
inline constexpr uint32_t kSgIoBoundSeconds = 30;

struct SgIoOutcome {
  PassThroughResult result;  // callSucceeded, transferred, raw sense, osError
  uint8_t scsiStatus = 0;    // the SCSI status byte the drive returned
};

// The time-out handed to SG_IO for a request's time-out in seconds: never more than the bound, and
// the bound for 0 (which the kernel would read as its own default of a minute or more).
unsigned SgIoTimeoutMilliseconds(uint32_t seconds);

// What a completed SG_IO call says: status, sense, bytes moved (the residue taken only within the
// transfer length) and whether the host or the driver gave up waiting.
SgIoOutcome ReadSgIoHeader(const sg_io_hdr_t& hdr, const SenseBytes& sense);

// Sends the request on fd, bounding the wait by the smaller of the request's time-out and
// kSgIoBoundSeconds. callSucceeded means the command was delivered and the drive answered it: good
// status, or a check condition that came with sense. A refused or undeliverable call sets osError
// (errno, or EIO when the host or driver reports a failure); timedOut when the bound was reached;
// refused (with openReadOnly) when the kernel did not let the command through.
SgIoOutcome RunSgIo(int fd, const ScsiRequest& request);

}  // namespace kv
