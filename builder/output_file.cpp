// POSIX file writing: a temporary file in the target's folder, flushed, then renamed over the
// target, so that a reader sees either the old file or the complete new one.
#include "builder/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace kv {

namespace {

namespace fs = std::filesystem;

constexpr const char* kTempSuffix = ".XXXXXX";
constexpr fs::perms kFallbackMode = fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec;

std::string SystemReason(int error) {
  return std::strerror(error);
}

// Closes and removes the temporary file unless it was handed over by rename.
class TempFile {
 public:
  explicit TempFile(const fs::path& target) {
    name_ = target.string() + kTempSuffix;
    std::vector<char> pattern(name_.begin(), name_.end());
    pattern.push_back('\0');
    fd_ = mkstemp(pattern.data());
    name_.assign(pattern.data());
  }
  ~TempFile() {
    if (fd_ >= 0) {
      close(fd_);
    }
    if (!renamed_) {
      unlink(name_.c_str());
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  // Closes the descriptor and reports whether the close (the last chance to see a write error)
  // succeeded.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }
  void Renamed() { renamed_ = true; }

 private:
  std::string name_;
  int fd_ = -1;
  bool renamed_ = false;
};

bool WriteAll(int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    if (written == 0) {
      errno = EIO;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be synced does not fail the write.
void SyncFolder(const fs::path& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

}  // namespace

WriteResult WriteFileAtomically(const fs::path& path, const uint8_t* data, std::size_t size,
                                fs::perms mode) {
  TempFile temp(path);
  if (temp.fd() < 0) {
    return {false, SystemReason(errno)};
  }
  if (fchmod(temp.fd(), static_cast<mode_t>(mode & fs::perms::mask)) != 0 ||
      !WriteAll(temp.fd(), data, size) || fsync(temp.fd()) != 0) {
    return {false, SystemReason(errno)};
  }
  if (!temp.Close()) {
    return {false, SystemReason(errno)};
  }
  if (rename(temp.name().c_str(), path.c_str()) != 0) {
    return {false, SystemReason(errno)};
  }
  temp.Renamed();
  SyncFolder(path.parent_path());
  return {};
}

WriteResult WriteOutputFile(const fs::path& directory, const uint8_t* data, std::size_t size,
                            fs::perms mode) {
  return WriteFileAtomically(directory / kOutputFileName, data, size, mode);
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
