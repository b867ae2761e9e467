// Linux names the running program's file through /proc/self/exe. The link itself is opened, never
// its text: the text of a replaced file ends in " (deleted)", while the link still leads to the
// file the program was started from.
#include "os/own_program.h"

#include <system_error>

#include "os/linux/same_file.h"

namespace kv {

namespace {
constexpr const char* kOwnExecutableLink = "/proc/self/exe";
}

std::filesystem::path OwnProgramImage() {
  return kOwnExecutableLink;
}

std::string OwnProgramPath() {
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::read_symlink(kOwnExecutableLink, error);
  return error ? std::string(kOwnExecutableLink) : resolved.string();
}

std::filesystem::path OwnProgramFile() {
  return OwnProgramPath();
}

bool IsRunningProgram(const std::filesystem::path& path) {
  return EntryIsFileBehind(path, kOwnExecutableLink);
}

}  // namespace kv
