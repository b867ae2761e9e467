// Where the running program's executable file lives. Linux names it through /proc; the link is
// resolved so that messages and permission checks see the real file.
#include <filesystem>
#include <system_error>

#include "builder/prototype.h"

namespace kv {

namespace {
constexpr const char* kOwnExecutableLink = "/proc/self/exe";
}

std::string OwnProgramPath() {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::read_symlink(kOwnExecutableLink, error);
  return error ? std::string(kOwnExecutableLink) : resolved.string();
}

}  // namespace kv
