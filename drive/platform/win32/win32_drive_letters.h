// The drive letters: the system's list of root paths, their drive types, and the device path a
// letter's SCSI device is opened by.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "drive/platform.h"

namespace kv::win32 {

// GetLogicalDriveStringsA: asked for the length first, then filled into a zero-filled block of that
// length from the process heap.
DriveRootList ListLogicalDriveRoots();

// "\\.\" followed by the root's letter and colon; empty when the root is shorter than that.
std::string DevicePathOfRoot(const std::string& root);

// CreateFileA on the device path, for reading and writing, shared for both, opening an existing
// device; INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OpenRootDevice(const std::string& root);

// The roots of a list as GetLogicalDriveStringsA fills it: zero-terminated strings one after
// another up to an empty one, never reading past `size` bytes.
std::vector<std::string> SplitRootList(const char* block, std::size_t size);

}  // namespace kv::win32
