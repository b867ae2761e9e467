// POSIX: open with O_NONBLOCK so that a FIFO without a writer or a device node cannot stall the
// open, then fstat the descriptor. A regular file ignores O_NONBLOCK, so reads stay plain.
#include "os/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace kv {

InputFile::~InputFile() {
  Close();
}

void InputFile::Close() {
  if (handle_ != kClosed) {
    ::close(static_cast<int>(handle_));
    handle_ = kClosed;
  }
  size_ = 0;
}

InputFileStatus InputFile::Open(const std::filesystem::path& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    return errno == ENOENT || errno == ENOTDIR ? InputFileStatus::Missing
                                               : InputFileStatus::Unreadable;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    ::close(fd);
    return InputFileStatus::Unreadable;
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd);
    return InputFileStatus::NotRegularFile;
  }
  handle_ = fd;
  size_ = static_cast<uint64_t>(status.st_size);
  return InputFileStatus::Ok;
}

long InputFile::Read(char* data, std::size_t length) {
  if (handle_ == kClosed) {
    return -1;
  }
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), data, length);
    if (got >= 0) {
      return static_cast<long>(got);
    }
    if (errno != EINTR) {
      return -1;
    }
  }
}

}  // namespace kv
