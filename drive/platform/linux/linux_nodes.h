// Discovery of the CD/DVD block nodes (/dev/srN) and their SCSI addresses as sysfs shows them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drive/platform/linux/linux_paths.h"

namespace kv {

// The longest node name the drive table's 8-byte root path holds with its terminating zero.
inline constexpr std::size_t kMaxNodeNameLength = 7;

// A kernel SCSI address, as wide as the kernel keeps it.
struct KernelScsiAddress {
  unsigned host = 0;
  unsigned channel = 0;
  unsigned id = 0;
  unsigned lun = 0;
};

// True for "sr" followed by one or more decimal digits, short enough for the drive table.
bool IsSrNodeName(const std::string& name);

// The CD/DVD node names ("sr0", "sr1", ...) in ascending number order: from
// <sysfs>/class/block/sr*, or when that folder cannot be read from the "drive name:" line of
// <proc>/sys/dev/cdrom/info. Empty when neither names a node.
std::vector<std::string> ListSrNodes(const LinuxPaths& paths);

// Parses "H:C:T:L" (the last path element of a sysfs device link).
std::optional<KernelScsiAddress> ParseHctl(const std::string& text);

// The address of a node from the sysfs link <sysfs>/class/<cls>/<name>/device, whose target ends
// in H:C:T:L. cls is "block" for srN, "scsi_generic" for sgN.
std::optional<KernelScsiAddress> ReadSysfsAddress(const LinuxPaths& paths, const std::string& cls,
                                                  const std::string& name);

// The full device path of a node name: <dev>/<name>.
std::string DevicePath(const LinuxPaths& paths, const std::string& name);

}  // namespace kv
