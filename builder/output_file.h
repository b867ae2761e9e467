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

// Writes size bytes to a temporary file beside path, flushes it to disk and renames it over path.
// An existing file (or symbolic link) at path is replaced, never followed; on failure path is
// untouched and no temporary file remains. mode gives the permission bits of the new file.
WriteResult WriteFileAtomically(const std::filesystem::path& path, const uint8_t* data,
                                std::size_t size, std::filesystem::perms mode);

// Writes the image as kOutputFileName inside directory.
WriteResult WriteOutputFile(const std::filesystem::path& directory, const uint8_t* data,
                            std::size_t size, std::filesystem::perms mode);

// Permission bits of the file at path (following links); owner read/write/execute plus group and
// others read/execute when they cannot be read.
std::filesystem::perms PermissionsOf(const std::filesystem::path& path);

}  // namespace kv
