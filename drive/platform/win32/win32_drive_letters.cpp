#include "drive/platform/win32/win32_drive_letters.h"

#include <cstring>

namespace kv::win32 {

namespace {
constexpr const char* kDevicePrefix = "\\\\.\\";
constexpr std::size_t kLetterAndColon = 2;
}  // namespace

std::vector<std::string> SplitRootList(const char* block, std::size_t size) {
  std::vector<std::string> roots;
  std::size_t at = 0;
  while (at < size && block[at] != '\0') {
    const void* end = std::memchr(block + at, '\0', size - at);
    const std::size_t length =
        end == nullptr ? size - at
                       : static_cast<std::size_t>(static_cast<const char*>(end) - (block + at));
    roots.emplace_back(block + at, length);
    at += length + 1;
  }
  return roots;
}

DriveRootList ListLogicalDriveRoots() {
  DriveRootList list;
  const DWORD length = GetLogicalDriveStringsA(0, nullptr);
  if (length == 0) {
    list.outcome = DriveRootList::Outcome::Empty;
    return list;
  }
  const HANDLE heap = GetProcessHeap();
  char* block =
      heap == nullptr ? nullptr : static_cast<char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, length));
  if (block == nullptr) {
    list.outcome = DriveRootList::Outcome::AllocationFailed;
    return list;
  }
  // Should the list have grown in between, the call fills nothing and the block stays empty.
  const DWORD filled = GetLogicalDriveStringsA(length, block);
  if (filled != 0 && filled < length) {
    list.roots = SplitRootList(block, length);
  }
  HeapFree(heap, 0, block);
  list.outcome = DriveRootList::Outcome::Ok;
  return list;
}

std::string DevicePathOfRoot(const std::string& root) {
  if (root.size() < kLetterAndColon) {
    return {};
  }
  return kDevicePrefix + root.substr(0, kLetterAndColon);
}

HANDLE OpenRootDevice(const std::string& root) {
  const std::string path = DevicePathOfRoot(root);
  if (path.empty()) {
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace kv::win32
