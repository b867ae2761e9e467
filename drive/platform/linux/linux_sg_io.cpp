#include "drive/platform/linux/linux_sg_io.h"

#include <fcntl.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace kv {

namespace {

constexpr int kSgInterfaceId = 'S';
constexpr unsigned kDriverSense = 0x08;  // driver_status bit: sense was returned
constexpr uint8_t kScsiStatusMask = 0x7E;
constexpr uint8_t kScsiStatusGood = 0x00;
constexpr uint64_t kMillisecondsPerSecond = 1000;
// host_status DID_TIME_OUT and the driver_status DRIVER_TIMEOUT code (low nibble).
constexpr unsigned kHostTimedOut = 0x03;
constexpr unsigned kDriverStatusMask = 0x0F;
constexpr unsigned kDriverTimedOut = 0x06;

int DxferDirection(const ScsiRequest& request) {
  if (request.buffer == nullptr || request.length == 0) {
    return SG_DXFER_NONE;
  }
  switch (request.direction) {
    case kDirectionOut:
      return SG_DXFER_TO_DEV;
    case kDirectionIn:
      return SG_DXFER_FROM_DEV;
    default:
      return SG_DXFER_NONE;
  }
}

}  // namespace

unsigned SgIoTimeoutMilliseconds(uint32_t seconds) {
  const uint32_t bounded = seconds == 0 ? kSgIoBoundSeconds : std::min(seconds, kSgIoBoundSeconds);
  const uint64_t ms = static_cast<uint64_t>(bounded) * kMillisecondsPerSecond;
  return static_cast<unsigned>(std::min<uint64_t>(ms, INT_MAX));
}

SgIoOutcome ReadSgIoHeader(const sg_io_hdr_t& hdr, const SenseBytes& sense) {
  SgIoOutcome outcome;
  outcome.scsiStatus = hdr.status;
  const uint8_t senseLength =
      static_cast<uint8_t>(std::min<std::size_t>(hdr.sb_len_wr, sense.size()));
  outcome.result.sense = sense;
  outcome.result.senseLength = senseLength;
  const int resid = std::clamp<int>(hdr.resid, 0, static_cast<int>(hdr.dxfer_len));
  outcome.result.transferred = hdr.dxfer_len - static_cast<unsigned>(resid);

  outcome.result.timedOut = hdr.host_status == kHostTimedOut ||
                            (hdr.driver_status & kDriverStatusMask) == kDriverTimedOut;
  const bool transportOk = hdr.host_status == 0 && (hdr.driver_status & ~kDriverSense) == 0;
  const uint8_t status = hdr.status & kScsiStatusMask;
  // A non-good status without sense (BUSY, RESERVATION CONFLICT, ...) would otherwise read as
  // sense key 0, that is as success.
  const bool answered = status == kScsiStatusGood || senseLength > 0;
  outcome.result.callSucceeded = transportOk && answered;
  if (!outcome.result.callSucceeded) {
    outcome.result.osError = EIO;
    outcome.result.transferred = 0;
  }
  return outcome;
}

SgIoOutcome RunSgIo(int fd, const ScsiRequest& request) {
  SgIoOutcome outcome;
  Cdb cdb = request.cdb;
  SenseBytes sense{};

  sg_io_hdr_t hdr;
  std::memset(&hdr, 0, sizeof hdr);
  hdr.interface_id = kSgInterfaceId;
  hdr.cmd_len = static_cast<unsigned char>(cdb.size());
  hdr.cmdp = cdb.data();
  hdr.dxfer_direction = DxferDirection(request);
  if (hdr.dxfer_direction != SG_DXFER_NONE) {
    hdr.dxferp = request.buffer;
    hdr.dxfer_len = request.length;
  }
  hdr.mx_sb_len = static_cast<unsigned char>(sense.size());
  hdr.sbp = sense.data();
  hdr.timeout = SgIoTimeoutMilliseconds(request.timeoutSeconds);

  if (ioctl(fd, SG_IO, &hdr) != 0) {
    const int error = errno;
    outcome.result.osError = error;
    outcome.result.timedOut = error == ETIMEDOUT;
    // The kernel's command filter: the command never reached the drive.
    outcome.result.refused = error == EPERM || error == EACCES;
    if (outcome.result.refused) {
      const int flags = fcntl(fd, F_GETFL);
      outcome.result.openReadOnly = flags >= 0 && (flags & O_ACCMODE) == O_RDONLY;
    }
    return outcome;
  }

  return ReadSgIoHeader(hdr, sense);
}

}  // namespace kv
