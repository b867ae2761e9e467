#include "drive/platform/linux/linux_open.h"

#include <fcntl.h>

#include <cerrno>

namespace kv {

OpenResult OpenNodeReadWrite(const std::string& path) {
  OpenResult result;
  result.fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (result.fd >= 0) {
    return result;
  }
  const int readWriteError = errno;
  result.fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (result.fd < 0) {
    // A missing node says more than the read-only retry's error about the same node.
    result.osError = readWriteError == ENOENT ? ENOENT : errno;
  }
  return result;
}

bool IsPermissionError(int osError) {
  return osError == EACCES || osError == EPERM;
}

}  // namespace kv
