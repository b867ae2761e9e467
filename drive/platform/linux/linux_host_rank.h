// The host adapter number under which a drive is listed: the rank of its kernel SCSI host among
// the hosts that carry CD/DVD drives, not the kernel's own number.
//
// The kernel numbers its SCSI hosts across every SATA port, HBA and USB storage device, and a USB
// writer gets a new number each time it is plugged in again, so raw numbers soon pass 15 and the
// drive table's sort key (host x 4096 + ...) drops the drive. Ranks keep the key rule and its order
// while a machine with at most 16 drives always fits.
#pragma once

#include <vector>

#include "drive/platform/linux/linux_paths.h"

namespace kv {

struct SgNode;

// The kernel host numbers that carry CD/DVD drives, ascending and without repeats: the hosts of
// the block nodes srN as sysfs shows them and of the sg nodes of SCSI type 5.
std::vector<unsigned> CdHostNumbers(const LinuxPaths& paths, const std::vector<SgNode>& sgNodes);

// The rank of host among cdHosts (the number of CD/DVD hosts below it). Without any known CD/DVD
// host (no sysfs to read) the kernel's number stands.
unsigned HostRank(const std::vector<unsigned>& cdHosts, unsigned host);

}  // namespace kv
