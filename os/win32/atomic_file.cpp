// Windows replace: a new temporary file beside the target, written, flushed, closed, then moved
// over the target with MoveFileEx (replacing it, and returning only once the move is on disk).
// Files are named by their wide names, which a name beyond the ANSI code page has too.
#include "os/atomic_file.h"

#include <windows.h>

#include <algorithm>
#include <limits>

namespace kv {

namespace {

namespace fs = std::filesystem;

constexpr int kNameAttempts = 64;
constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

std::string SystemReason(DWORD error) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, error, 0, text, sizeof text, nullptr);
  std::string reason(text, length);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == ' ' || reason.back() == '.')) {
    reason.pop_back();
  }
  return reason.empty() ? "system error " + std::to_string(error) : reason;
}

HANDLE AsHandle(FileCalls::Handle file) {
  return reinterpret_cast<HANDLE>(file);
}

// Closes and removes the temporary file unless it was handed over by the move.
class TempFile {
 public:
  TempFile(const fs::path& target, const std::string& infix) {
    static LONG counter = 0;
    for (int attempt = 0; attempt < kNameAttempts && file_ == INVALID_HANDLE_VALUE; ++attempt) {
      name_ = target;
      name_ += infix + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(InterlockedIncrement(&counter));
      file_ = CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file_ == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
        break;
      }
    }
    if (file_ == INVALID_HANDLE_VALUE) {
      name_.clear();
    }
  }
  ~TempFile() {
    Close();
    if (!moved_ && !name_.empty()) {
      DeleteFileW(name_.c_str());
    }
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool Opened() const { return file_ != INVALID_HANDLE_VALUE; }
  FileCalls::Handle Handle() const { return reinterpret_cast<FileCalls::Handle>(file_); }
  const fs::path& Name() const { return name_; }
  bool Close() {
    if (file_ == INVALID_HANDLE_VALUE) {
      return true;
    }
    const HANDLE file = file_;
    file_ = INVALID_HANDLE_VALUE;
    return CloseHandle(file) != FALSE;
  }
  void Moved() { moved_ = true; }

 private:
  fs::path name_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  bool moved_ = false;
};

bool WriteAll(FileCalls& calls, FileCalls::Handle file, const uint8_t* data, std::size_t size) {
  while (size > 0) {
    const long written = calls.WriteSome(file, data, size);
    if (written < 0) {
      return false;
    }
    if (written == 0) {
      SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

long FileCalls::WriteSome(Handle file, const uint8_t* data, std::size_t length) {
  const DWORD chunk =
      static_cast<DWORD>(std::min<std::size_t>(length, std::numeric_limits<long>::max()));
  DWORD written = 0;
  if (!WriteFile(AsHandle(file), data, chunk, &written, nullptr)) {
    return -1;
  }
  return static_cast<long>(written);
}

bool FileCalls::Sync(Handle file) {
  return FlushFileBuffers(AsHandle(file)) != FALSE;
}

bool FileCalls::Rename(const fs::path& from, const fs::path& to) {
  return MoveFileExW(from.c_str(), to.c_str(), kMoveFlags) != FALSE;
}

FileCalls& SystemFileCalls() {
  static FileCalls calls;
  return calls;
}

// Windows files carry no POSIX permission bits; the options' bits are not applied.
ReplaceResult ReplaceFileAtomically(const fs::path& target, std::span<const uint8_t> content,
                                    const ReplaceOptions& options, FileCalls& calls) {
  TempFile temp(target, options.tempInfix);
  if (!temp.Opened()) {
    return {false, SystemReason(GetLastError())};
  }
  if (!WriteAll(calls, temp.Handle(), content.data(), content.size()) ||
      !calls.Sync(temp.Handle())) {
    return {false, SystemReason(GetLastError())};
  }
  if (!temp.Close()) {
    return {false, SystemReason(GetLastError())};
  }
  if (!calls.Rename(temp.Name(), target)) {
    return {false, SystemReason(GetLastError())};
  }
  temp.Moved();
  return {};
}

}  // namespace kv
