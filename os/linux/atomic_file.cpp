// POSIX replace: the new content goes into an unnamed file in the target's folder (O_TMPFILE) and
// gets a name only when it is complete and flushed, then that name is renamed over the target and
// the folder is synced. Where the file system has no unnamed files, mkstemp makes a named one.
//
// A process killed between naming and renaming leaves a temporary file. Each temporary file is
// locked (flock) by its writer for as long as it exists under its name, so the next replace of the
// same target can tell a left-over file (no lock) from one being written and removes it.
#include "os/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

namespace kv {

namespace {

namespace fs = std::filesystem;

// Temporary files are named target + infix + six characters + this suffix.
constexpr std::string_view kUniquePattern = "XXXXXX";
constexpr std::string_view kTempSuffix = ".kvpart";
constexpr std::size_t kUniqueLength = kUniquePattern.size();
constexpr int kNameAttempts = 100;
// Links followed before giving up (as the kernel's own limit).
constexpr int kMaxLinkHops = 40;
constexpr mode_t kPrivateMode = S_IRUSR | S_IWUSR;
constexpr const char* kOwnDescriptors = "/proc/self/fd";

std::string SystemReason(int error) {
  return std::strerror(error);
}

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() { Reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = fd;
  }
  // Closes and reports whether the close (the last chance to see a write error) succeeded.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool IsUniqueChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// True when name is prefix + six unique characters + kTempSuffix.
bool IsTempName(std::string_view name, std::string_view prefix) {
  if (name.size() != prefix.size() + kUniqueLength + kTempSuffix.size() ||
      name.substr(0, prefix.size()) != prefix ||
      name.substr(name.size() - kTempSuffix.size()) != kTempSuffix) {
    return false;
  }
  for (const char c : name.substr(prefix.size(), kUniqueLength)) {
    if (!IsUniqueChar(c)) {
      return false;
    }
  }
  return true;
}

std::string RandomUnique() {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::minstd_rand generator(std::random_device{}());
  std::string unique;
  for (std::size_t i = 0; i < kUniqueLength; ++i) {
    unique += kAlphabet[generator() % kAlphabet.size()];
  }
  return unique;
}

// Removes the temporary files of target that no writer holds any more.
void RemoveLeftOvers(const fs::path& target, const std::string& infix) {
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  const std::string prefix = target.filename().string() + infix;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    return;
  }
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTempName(entry->d_name, prefix)) {
      continue;
    }
    Descriptor fd(::openat(dirFd, entry->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    struct stat named {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
      continue;
    }
    // Only the very file that was found unlocked goes.
    if (::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == opened.st_dev && named.st_ino == opened.st_ino) {
      ::unlinkat(dirFd, entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

// The file a chain of links at path leads to (path itself when it is no link). Relative links are
// read from the folder of the link.
bool FollowLinks(const fs::path& path, fs::path& destination) {
  fs::path current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) {
      destination = current;
      return true;
    }
    const fs::path next = fs::read_symlink(current, error);
    if (error) {
      return false;
    }
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  errno = ELOOP;
  return false;
}

// The temporary file: written while unnamed where possible, locked by this process while it has a
// name, removed unless renamed over the target.
class TempFile {
 public:
  TempFile(const fs::path& target, const std::string& infix)
      : prefix_(target.string() + infix), folder_(target.parent_path()) {
    const fs::path folder = folder_.empty() ? fs::path(".") : folder_;
    // The unnamed file is named through /proc; without /proc it could never get a name.
    if (::access(kOwnDescriptors, X_OK) == 0) {
      fd_.Reset(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, kPrivateMode));
    }
    if (fd_.Get() >= 0) {
      unnamed_ = true;
    } else {
      std::string pattern = prefix_ + std::string(kUniquePattern) + std::string(kTempSuffix);
      fd_.Reset(::mkostemps(pattern.data(), static_cast<int>(kTempSuffix.size()), O_CLOEXEC));
      name_ = pattern;
    }
    // A second descriptor of the same open file holds the lock after the first is closed.
    if (fd_.Get() >= 0) {
      lock_.Reset(::fcntl(fd_.Get(), F_DUPFD_CLOEXEC, 0));
      if (lock_.Get() < 0 || ::flock(lock_.Get(), LOCK_EX) != 0) {
        const int error = errno;
        Discard();
        errno = error;
      }
    }
  }
  ~TempFile() { Discard(); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_.Get(); }
  bool Close() { return fd_.Close(); }
  // Gives an unnamed file its temporary name; a named file has one already.
  bool Name() {
    if (!unnamed_) {
      return true;
    }
    const std::string link = std::string(kOwnDescriptors) + "/" + std::to_string(lock_.Get());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      const std::string name = prefix_ + RandomUnique() + std::string(kTempSuffix);
      if (::linkat(AT_FDCWD, link.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        name_ = name;
        unnamed_ = false;
        return true;
      }
      if (errno != EEXIST) {
        return false;
      }
    }
    return false;
  }
  const std::string& name() const { return name_; }
  void Renamed() { name_.clear(); }

 private:
  void Discard() {
    if (!name_.empty()) {
      ::unlink(name_.c_str());
      name_.clear();
    }
    fd_.Reset();
    lock_.Reset();
  }

  std::string prefix_;
  fs::path folder_;
  Descriptor fd_;
  Descriptor lock_;
  std::string name_;
  bool unnamed_ = false;
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

// A file the user marked read-only (no owner write bit) counts as one they may not write, even
// for a user the system would let write it.
bool UserMayWrite(const fs::path& path, const struct stat& status) {
  return (status.st_mode & S_IWUSR) != 0 && ::access(path.c_str(), W_OK) == 0;
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
  fs::path destination = target;
  if (options.followLinks && !FollowLinks(target, destination)) {
    return {false, SystemReason(errno)};
  }
  struct stat existing {};
  const bool exists = ::lstat(destination.c_str(), &existing) == 0;
  if (exists && options.keepReadOnlyFile && S_ISREG(existing.st_mode) &&
      !UserMayWrite(destination, existing)) {
    return {false, SystemReason(EACCES)};
  }
  std::optional<mode_t> mode;
  if (options.permissions) {
    mode = static_cast<mode_t>(*options.permissions & fs::perms::mask);
  } else if (exists && S_ISREG(existing.st_mode)) {
    mode = existing.st_mode & static_cast<mode_t>(fs::perms::mask);
  }

  RemoveLeftOvers(destination, options.tempInfix);
  TempFile temp(destination, options.tempInfix);
  if (temp.fd() < 0) {
    return {false, SystemReason(errno)};
  }
  if (mode && ::fchmod(temp.fd(), *mode) != 0) {
    return {false, SystemReason(errno)};
  }
  if (!WriteAll(calls, temp.fd(), content.data(), content.size()) || !calls.Sync(temp.fd())) {
    return {false, SystemReason(errno)};
  }
  if (!temp.Close() || !temp.Name()) {
    return {false, SystemReason(errno)};
  }
  if (!calls.Rename(temp.name(), destination)) {
    return {false, SystemReason(errno)};
  }
  temp.Renamed();
  SyncFolder(destination.parent_path());
  return {};
}

}  // namespace kv
