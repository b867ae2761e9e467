#include "os/linux/settings_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <span>
#include <system_error>
#include <vector>

#include "media/text_lines.h"

namespace kv {

namespace {

constexpr const char* kPathOverrideVariable = "KRELLVANE_SETTINGS";
constexpr const char* kFolderName = "krellvane";
constexpr const char* kFileName = "settings.ini";
constexpr const char* kTempInfix = ".tmp-";

// The range a 4-byte integer value may be written in: signed, or unsigned as a DWORD holds it.
constexpr long long kIntegerLowest = -2147483648LL;
constexpr long long kIntegerHighest = 4294967295LL;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::vector<std::string> SplitLines(const std::string& content) {
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

// "[Name]" gives Name; anything else is not a section header.
bool SectionName(const std::string& trimmed, std::string& name) {
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') {
    return false;
  }
  name = TrimControl(std::string_view(trimmed).substr(1, trimmed.size() - 2));
  return true;
}

bool NameAndValue(const std::string& trimmed, std::string& name, std::string& value) {
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string::npos) {
    return false;
  }
  name = TrimControl(std::string_view(trimmed).substr(0, equals));
  value = TrimControl(std::string_view(trimmed).substr(equals + 1));
  return !name.empty();
}

// Where valueName sits in section keyName: the line of the value (or -1), and the line after
// which a new value of that section goes (or -1 when the section is missing).
struct Place {
  long valueLine = -1;
  long insertAfter = -1;
};

Place Locate(const std::vector<std::string>& lines, const std::string& keyName,
             const std::string& valueName, std::string* value) {
  Place place;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string trimmed = TrimControl(lines[i]);
    std::string name;
    std::string text;
    if (SectionName(trimmed, name)) {
      inSection = EqualsNoCase(name, keyName);
      if (inSection && place.insertAfter < 0) {
        place.insertAfter = static_cast<long>(i);
      }
      continue;
    }
    if (!inSection) {
      continue;
    }
    if (NameAndValue(trimmed, name, text) && EqualsNoCase(name, valueName)) {
      place.valueLine = static_cast<long>(i);
      if (value != nullptr) {
        *value = text;
      }
      return place;
    }
  }
  return place;
}

// The last non-empty line of the first section named keyName, starting at its header.
long EndOfFirstSection(const std::vector<std::string>& lines, long header) {
  long last = header;
  for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines.size(); ++i) {
    const std::string trimmed = TrimControl(lines[i]);
    std::string name;
    if (SectionName(trimmed, name)) {
      break;
    }
    if (!trimmed.empty()) {
      last = static_cast<long>(i);
    }
  }
  return last;
}

bool ParseInteger(const std::string& text, int32_t& value) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) {
    i = 1;
  }
  if (i == text.size()) {
    return false;
  }
  long long magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') {
      return false;
    }
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kIntegerHighest) {
      return false;
    }
  }
  const long long number = negative ? -magnitude : magnitude;
  if (number < kIntegerLowest) {
    return false;
  }
  // A value above the signed range holds the bits of an unsigned 4-byte integer.
  value = static_cast<int32_t>(static_cast<uint32_t>(number));
  return true;
}

// A name that would break the line structure of the file cannot be stored.
bool FitsOnOneLine(const std::string& name) {
  return !name.empty() && name.find_first_of("\r\n=[]") == std::string::npos;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  bool Close() {
    if (fd_ < 0) {
      return true;
    }
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::filesystem::path SettingsFilePath() {
  const std::string override = Environment(kPathOverrideVariable);
  if (!override.empty()) {
    return override;
  }
  const std::string config = Environment("XDG_CONFIG_HOME");
  if (!config.empty()) {
    return std::filesystem::path(config) / kFolderName / kFileName;
  }
  const std::string home = Environment("HOME");
  if (!home.empty()) {
    return std::filesystem::path(home) / ".config" / kFolderName / kFileName;
  }
  return {};
}

bool SettingsFile::Load(std::string& content, bool& exists) const {
  content.clear();
  exists = false;
  if (path_.empty()) {
    return false;
  }
  FileDescriptor fd(::open(path_.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    // Only a file that is really not there counts as empty; any other failure is unreadable.
    return errno == ENOENT;
  }
  exists = true;
  char chunk[4096];
  for (;;) {
    const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    if (got == 0) {
      return true;
    }
    content.append(chunk, static_cast<std::size_t>(got));
  }
}

bool SettingsFile::Find(const std::string& keyName, const std::string& valueName,
                        std::string& value) const {
  std::string content;
  bool exists = false;
  if (!Load(content, exists) || !exists) {
    return false;
  }
  return Locate(SplitLines(content), keyName, valueName, &value).valueLine >= 0;
}

bool SettingsFile::ReadText(const std::string& keyName, const std::string& valueName,
                            std::string& value) {
  return Find(keyName, valueName, value);
}

bool SettingsFile::ReadInteger(const std::string& keyName, const std::string& valueName,
                               int32_t& value) {
  std::string text;
  int32_t parsed = 0;
  if (!Find(keyName, valueName, text) || !ParseInteger(text, parsed)) {
    return false;
  }
  value = parsed;
  return true;
}

bool SettingsFile::WriteInteger(const std::string& keyName, const std::string& valueName,
                                int32_t value) {
  if (!FitsOnOneLine(keyName) || !FitsOnOneLine(valueName)) {
    return false;
  }
  std::string content;
  bool exists = false;
  // A file that exists but cannot be read is left alone: rewriting it would lose its lines.
  if (!Load(content, exists)) {
    return false;
  }
  std::vector<std::string> lines = SplitLines(content);
  const std::string entry = valueName + "=" + std::to_string(value);
  const Place place = Locate(lines, keyName, valueName, nullptr);
  if (place.valueLine >= 0) {
    lines[static_cast<std::size_t>(place.valueLine)] = entry;
  } else if (place.insertAfter >= 0) {
    const long after = EndOfFirstSection(lines, place.insertAfter);
    lines.insert(lines.begin() + after + 1, entry);
  } else {
    lines.push_back("[" + keyName + "]");
    lines.push_back(entry);
  }
  std::string replacement;
  for (const std::string& line : lines) {
    replacement += line;
    replacement += '\n';
  }
  return ReplaceFile(replacement);
}

bool SettingsFile::ReplaceFile(const std::string& content) {
  if (path_.empty()) {
    return false;
  }
  const std::filesystem::path folder = path_.parent_path();
  std::error_code error;
  if (!folder.empty()) {
    std::filesystem::create_directories(folder, error);
    if (error) {
      return false;
    }
  }
  // A private file: the new file keeps the bits of its temporary file, readable by its owner only.
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(content.data()), content.size());
  return ReplaceFileAtomically(path_, bytes, ReplaceOptions{kTempInfix, std::nullopt}, calls_).ok;
}

std::unique_ptr<SettingsBackend> SettingsBackendForThisPlatform() {
  return std::make_unique<SettingsFile>(SettingsFilePath());
}

}  // namespace kv
