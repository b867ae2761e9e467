// Opening a drive node the way the drives want it: read-write for the write-safe commands,
// read-only when that is all the permissions allow, never blocking on an empty tray.
#pragma once

#include <string>

namespace kv {

struct OpenResult {
  int fd = -1;
  int osError = 0;  // errno of the last attempt when fd < 0
};

// O_RDWR | O_NONBLOCK | O_CLOEXEC, falling back to O_RDONLY | O_NONBLOCK | O_CLOEXEC.
OpenResult OpenNodeReadWrite(const std::string& path);

// True for the errors that mean "not allowed" rather than "not there".
bool IsPermissionError(int osError);

}  // namespace kv
