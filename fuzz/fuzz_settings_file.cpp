// The settings file on any content and any names: reading never fails on content, a written value
// reads back, and every other line of the file survives in its order.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_check.h"
#include "os/linux/settings_file.h"

namespace {

namespace fs = std::filesystem;

// A folder of this process's own, on a memory file system where there is one (the writer syncs);
// removed when the fuzzer ends.
struct OwnFolder {
  fs::path path;
  OwnFolder() {
    const fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    path = base / ("kv-fuzz-settings-" + std::to_string(::getpid()));
    fs::create_directories(path);
  }
  ~OwnFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

const fs::path& Folder() {
  static const OwnFolder folder;
  return folder.path;
}

std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) {
      end = content.size();
    }
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string key = input.ConsumeRandomLengthString(16);
  const std::string name = input.ConsumeRandomLengthString(16);
  const auto value = input.ConsumeIntegral<int32_t>();
  const std::string content = input.ConsumeRemainingBytesAsString();

  const fs::path file = Folder() / "settings.ini";
  std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
  kv::SettingsFile settings(file);
  std::string text;
  int32_t number = 0;
  settings.ReadText(key, name, text);
  settings.ReadInteger(key, name, number);

  const bool written = settings.WriteInteger(key, name, value);
  const std::string after = Slurp(file);
  if (!written) {
    KV_FUZZ_CHECK(after == content);
    return 0;
  }
  int32_t readBack = 0;
  KV_FUZZ_CHECK(kv::SettingsFile(file).ReadInteger(key, name, readBack));
  KV_FUZZ_CHECK(readBack == value);
  // One edit in one place: the old lines, with at most the one value line replaced and at most two
  // lines (a section and the value) added there. Compared from both ends, so that a line that
  // occurs twice cannot be matched at its other copy.
  const std::vector<std::string> old = Lines(content);
  const std::vector<std::string> now = Lines(after);
  KV_FUZZ_CHECK(now.size() >= old.size() && now.size() <= old.size() + 2);
  std::size_t prefix = 0;
  while (prefix < old.size() && prefix < now.size() && old[prefix] == now[prefix]) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < old.size() - prefix && suffix < now.size() - prefix &&
         old[old.size() - 1 - suffix] == now[now.size() - 1 - suffix]) {
    ++suffix;
  }
  KV_FUZZ_CHECK(old.size() - prefix - suffix <= 1);
  KV_FUZZ_CHECK(now.size() - prefix - suffix <= 2);
  return 0;
}
