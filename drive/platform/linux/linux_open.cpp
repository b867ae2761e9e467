#include "drive/platform/linux/linux_open.h"

#include <fcntl.h>

#include <cerrno>

#include "drive/platform/linux/linux_access_hint.h"

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

void DeniedOpens::Note(const std::string& path, const OpenResult& result) {
  if (result.fd >= 0) {
    byPath_.erase(path);
  } else if (IsPermissionError(result.osError)) {
    byPath_[path] = result.osError;
  }
}

std::vector<DeniedNode> DeniedOpens::List() const {
  std::vector<DeniedNode> nodes;
  for (const auto& [path, error] : byPath_) {
    nodes.push_back(DeniedNode{path, error, AccessHintForNode(path)});
  }
  return nodes;
}

}  // namespace kv
