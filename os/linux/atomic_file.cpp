// POSIX replace: mkstemp beside the target, write, fsync, close, rename, then fsync the folder.
#include "os/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace kv {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUniquePart = "XXXXXX";

std::string SystemReason(int error) {
  return std::strerror(error);
}

// Closes and removes the temporary file unless it was handed over by rename.
class TempFile {
 public:
  TempFile(const fs::path& target, const std::string& infix) {
    name_ = target.string() + infix + kUniquePart;
    std::vector<char> pattern(name_.begin(), name_.end());
    pattern.push_back('\0');
    fd_ = ::mkstemp(pattern.data());
    name_.assign(pattern.data());
  }
  ~TempFile() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    if (!renamed_) {
      ::unlink(name_.c_str());
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
    return ::close(fd) == 0;
  }
  void Renamed() { renamed_ = true; }

 private:
  std::string name_;
  int fd_ = -1;
  bool renamed_ = false;
};

bool WriteAll(FileCalls& calls, int fd, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const long written = calls.WriteSome(fd, data, size);
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
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

long FileCalls::WriteSome(Handle file, const uint8_t* data, std::size_t length) {
  return static_cast<long>(::write(static_cast<int>(file), data, length));
}

bool FileCalls::Sync(Handle file) {
  return ::fsync(static_cast<int>(file)) == 0;
}

bool FileCalls::Rename(const fs::path& from, const fs::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0;
}

FileCalls& SystemFileCalls() {
  static FileCalls calls;
  return calls;
}

ReplaceResult ReplaceFileAtomically(const fs::path& target, std::span<const uint8_t> content,
                                    const ReplaceOptions& options, FileCalls& calls) {
  TempFile temp(target, options.tempInfix);
  if (temp.fd() < 0) {
    return {false, SystemReason(errno)};
  }
  if (options.permissions &&
      ::fchmod(temp.fd(), static_cast<mode_t>(*options.permissions & fs::perms::mask)) != 0) {
    return {false, SystemReason(errno)};
  }
  if (!WriteAll(calls, temp.fd(), content.data(), content.size()) || !calls.Sync(temp.fd())) {
    return {false, SystemReason(errno)};
  }
  if (!temp.Close()) {
    return {false, SystemReason(errno)};
  }
  if (!calls.Rename(temp.name(), target)) {
    return {false, SystemReason(errno)};
  }
  temp.Renamed();
  SyncFolder(target.parent_path());
  return {};
}

}  // namespace kv
