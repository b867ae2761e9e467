// Windows names the running program's file through GetModuleFileName: the ANSI name for messages,
// the wide one for opening it (a folder named beyond the ANSI code page has no ANSI name). A
// running program's file cannot be replaced or removed while it runs, so its own path stays a way
// to read it.
#include "os/own_program.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kv {

namespace {

// Longer paths than this are not asked for; a truncated name is never returned.
constexpr DWORD kLongestPath = 32768;

struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the directory entry at path; a link is not followed.
bool IdentityOf(const std::filesystem::path& path, FileIdentity& identity) {
  const HANDLE file = CreateFileW(
      path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const BOOL ok = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!ok) {
    return false;
  }
  identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

// The running program's file name through GetModuleFileNameA or W, grown until it fits; empty on
// failure.
template <class Char, class GetName>
std::basic_string<Char> ModuleFileName(GetName getName) {
  std::vector<Char> name(MAX_PATH);
  while (name.size() <= kLongestPath) {
    const DWORD length = getName(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) {
      return {};
    }
    if (length < name.size()) {
      return std::basic_string<Char>(name.data(), length);
    }
    name.resize(name.size() * 2);
  }
  return {};
}

}  // namespace

std::string OwnProgramPath() {
  return ModuleFileName<char>(GetModuleFileNameA);
}

std::filesystem::path OwnProgramFile() {
  return ModuleFileName<wchar_t>(GetModuleFileNameW);
}

std::filesystem::path OwnProgramImage() {
  return OwnProgramFile();
}

bool IsRunningProgram(const std::filesystem::path& path) {
  FileIdentity entry;
  FileIdentity program;
  return IdentityOf(path, entry) && IdentityOf(OwnProgramFile(), program) && entry == program;
}

}  // namespace kv
