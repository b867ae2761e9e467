#include "tests/support/win32/win32_test_support.h"

#include <filesystem>
#include <thread>

namespace kv::win32 {

namespace {

// Reads a pipe to its end on a thread of its own, so that a child filling the other pipe cannot
// block on this one.
class PipeReader {
 public:
  explicit PipeReader(HANDLE pipe) : thread_([this, pipe] { Drain(pipe); }) {}
  std::string Finish() {
    thread_.join();
    return text_;
  }

 private:
  void Drain(HANDLE pipe) {
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got > 0) {
      text_.append(chunk, got);
    }
    CloseHandle(pipe);
  }
  std::string text_;
  std::thread thread_;
};

bool MakePipe(HANDLE& read, HANDLE& write) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  if (!CreatePipe(&read, &write, &inherit, 0)) {
    return false;
  }
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  return true;
}

constexpr const char* kAppDefaults = "Software\\Wine\\AppDefaults\\";
constexpr const char* kScsiKeys[] = {
    "HARDWARE\\DEVICEMAP\\Scsi",
    "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0",
    "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0\\Scsi Bus 0",
    "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0\\Scsi Bus 0\\Target Id 1",
    "HARDWARE\\DEVICEMAP\\Scsi\\Scsi Port 0\\Scsi Bus 0\\Target Id 1\\Logical Unit Id 0",
};

}  // namespace

std::string ProgramBesideThisOne(const std::string& fileName) {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  const std::size_t slash = folder.find_last_of("\\/");
  folder.resize(slash == std::string::npos ? 0 : slash + 1);
  return folder + fileName;
}

ProgramRun RunProgram(const std::string& commandLine, const std::string& folder) {
  ProgramRun run;
  HANDLE outRead = nullptr;
  HANDLE outWrite = nullptr;
  HANDLE errRead = nullptr;
  HANDLE errWrite = nullptr;
  if (!MakePipe(outRead, outWrite) || !MakePipe(errRead, errWrite)) {
    return run;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION process{};
  std::string mutableLine = commandLine;
  const BOOL started =
      CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &startup, &process);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  PipeReader out(outRead);
  PipeReader err(errRead);
  if (started) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.exitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  run.out = out.Finish();
  run.err = err.Finish();
  return run;
}

TempFolder::TempFolder() {
  static LONG counter = 0;
  char base[MAX_PATH] = {};
  GetTempPathA(sizeof base, base);
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const std::string candidate = std::string(base) + "kv-test-" +
                                  std::to_string(GetCurrentProcessId()) + "-" +
                                  std::to_string(InterlockedIncrement(&counter)) + "\\";
    if (CreateDirectoryA(candidate.c_str(), nullptr)) {
      path_ = candidate;
    }
  }
}

TempFolder::~TempFolder() {
  if (!path_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
}

WineAppVersion::WineAppVersion(std::string program, std::string version)
    : key_(kAppDefaults + program), version_(std::move(version)) {}

bool WineAppVersion::Set() const {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_CURRENT_USER, key_.c_str(), &key) != ERROR_SUCCESS) {
    return false;
  }
  const LONG rc =
      RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version_.c_str()),
                     static_cast<DWORD>(version_.size() + 1));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

WineAppVersion::~WineAppVersion() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    RegDeleteValueA(key, "Version");
    RegCloseKey(key);
  }
}

VolatileScsiAdapterEntry::VolatileScsiAdapterEntry() {
  made_ = true;
  for (const char* path : kScsiKeys) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
      made_ = false;
      return;
    }
    RegCloseKey(key);
    if (disposition == REG_CREATED_NEW_KEY) {
      created_.push_back(path);
    }
  }
}

VolatileScsiAdapterEntry::~VolatileScsiAdapterEntry() {
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, it->c_str());
  }
}

}  // namespace kv::win32
