// Replacing a file in one step: the new content goes to a temporary file in the target's folder,
// is flushed to disk and is then renamed over the target, so that a crash, a full disk or a
// failed write leaves either the old file or the complete new one, never half of either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace kv {

struct ReplaceOptions {
  // Text between the target's name and the unique part of the temporary file's name.
  std::string tempInfix = ".";
  // Permission bits of the new file; none leaves the system's bits for a private new file.
  std::optional<std::filesystem::perms> permissions;
};

struct ReplaceResult {
  bool ok = true;
  std::string reason;  // the system's reason when ok is false
};

// The system calls of one replace. Tests derive from it to make one of them fail; each reports
// as the call it wraps does, with the system's error set on failure.
class FileCalls {
 public:
  // The open temporary file as the system names it (a descriptor or a handle).
  using Handle = std::intptr_t;

  virtual ~FileCalls() = default;
  // Bytes written, at most length; -1 on failure.
  virtual long WriteSome(Handle file, const uint8_t* data, std::size_t length);
  virtual bool Sync(Handle file);
  virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to);
};

// The calls of the running system.
FileCalls& SystemFileCalls();

// An existing file or link at target is replaced, never followed. On failure target is untouched
// and no temporary file remains. The target's folder must exist.
ReplaceResult ReplaceFileAtomically(const std::filesystem::path& target,
                                    std::span<const uint8_t> content,
                                    const ReplaceOptions& options = {},
                                    FileCalls& calls = SystemFileCalls());

}  // namespace kv
