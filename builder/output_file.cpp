#include "builder/output_file.h"

#include <span>
#include <system_error>

#include "os/atomic_file.h"
#include "os/own_program.h"

namespace kv {

namespace {

namespace fs = std::filesystem;

constexpr fs::perms kFallbackMode = fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec;

}  // namespace

WriteResult WriteOutputFile(const fs::path& directory, const uint8_t* data, std::size_t size,
                            fs::perms mode) {
  const fs::path target = directory / kOutputFileName;
  // Renaming over the running program's own file would take away the prototype of every later
  // build and the program the user started.
  if (IsRunningProgram(target)) {
    return {false, kReasonRunningProgram};
  }
  const ReplaceResult replaced =
      ReplaceFileAtomically(target, std::span(data, size), ReplaceOptions{".", mode});
  return {replaced.ok, replaced.reason};
}

fs::perms PermissionsOf(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || status.permissions() == fs::perms::unknown) {
    return kFallbackMode;
  }
  return status.permissions() & fs::perms::mask;
}

}  // namespace kv
