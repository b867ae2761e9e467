// Opening a drive node the way the drives want it: read-write for the write-safe commands,
// read-only when that is all the permissions allow, never blocking on an empty tray.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "drive/platform.h"

namespace kv {

struct OpenResult {
  int fd = -1;
  int osError = 0;  // errno of the last attempt when fd < 0
};

// O_RDWR | O_NONBLOCK | O_CLOEXEC, falling back to O_RDONLY | O_NONBLOCK | O_CLOEXEC.
OpenResult OpenNodeReadWrite(const std::string& path);

// True for the errors that mean "not allowed" rather than "not there".
bool IsPermissionError(int osError);

// The nodes whose open was refused for lack of permission, shared by the platform and its sg
// manager so that one hint covers both.
class DeniedOpens {
 public:
  // Records a refused open, forgets the node once it opens.
  void Note(const std::string& path, const OpenResult& result);
  std::vector<DeniedNode> List() const;

 private:
  std::map<std::string, int> byPath_;  // device path -> errno of the refused open
};

}  // namespace kv
