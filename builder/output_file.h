// Writing a built executable so that a failure never leaves a truncated file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace kv {

// The builder's output, created in the working directory.
inline constexpr const char* kOutputFileName = "Krellvane.Exe";

struct WriteResult {
  bool ok = true;
  std::string reason;  // the system's reason when ok is false
};

// Why the output is refused when it would replace the running program's own file.
inline constexpr const char* kReasonRunningProgram = "It is the running program's own file";

// Writes the image as kOutputFileName inside directory, in one step (see os/atomic_file.h): an
// existing file or link there is replaced, never followed, and on failure it is left as it was.
// mode gives the permission bits of the new file. The running program's own file is never
// replaced.
WriteResult WriteOutputFile(const std::filesystem::path& directory, const uint8_t* data,
                            std::size_t size, std::filesystem::perms mode);

// Permission bits of the file at path (following links); owner read/write/execute plus group and
// others read/execute when they cannot be read.
std::filesystem::perms PermissionsOf(const std::filesystem::path& path);

}  // namespace kv
