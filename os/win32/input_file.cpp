// Windows: the file is opened by its wide name, which a name beyond the ANSI code page has too.
// CreateFile never waits for a writer; the opened handle must be a disk file and no
// folder (a named pipe, console or device is refused).
#include "os/input_file.h"

#include <windows.h>

#include <algorithm>

namespace kv {

namespace {

HANDLE ToHandle(InputFile::Handle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD kLargestRead = 1u << 30;

}  // namespace

InputFile::~InputFile() {
  Close();
}

void InputFile::Close() {
  if (handle_ != kClosed) {
    CloseHandle(ToHandle(handle_));
    handle_ = kClosed;
  }
  size_ = 0;
}

InputFileStatus InputFile::Open(const std::filesystem::path& path) {
  Close();
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? InputFileStatus::Missing
               : InputFileStatus::Unreadable;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(file);
    return InputFileStatus::NotRegularFile;
  }
  handle_ = reinterpret_cast<Handle>(file);
  size_ = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return InputFileStatus::Ok;
}

long InputFile::Read(char* data, std::size_t length) {
  if (handle_ == kClosed) {
    return -1;
  }
  DWORD got = 0;
  const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(length, kLargestRead));
  if (!ReadFile(ToHandle(handle_), data, asked, &got, nullptr)) {
    return -1;
  }
  return static_cast<long>(got);
}

}  // namespace kv
