#include "drive/platform/linux/linux_nodes.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kv {

namespace {

constexpr std::string_view kSrPrefix = "sr";
constexpr std::string_view kCdromInfoDriveName = "drive name:";
constexpr int kHctlParts = 4;

unsigned NodeNumber(const std::string& name) {
  unsigned number = 0;
  std::from_chars(name.data() + kSrPrefix.size(), name.data() + name.size(), number);
  return number;
}

bool ParseUnsigned(std::string_view text, unsigned& value) {
  if (text.empty()) {
    return false;
  }
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && end == text.data() + text.size();
}

std::vector<std::string> SysfsSrNodes(const LinuxPaths& paths, bool& readable) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(std::filesystem::path(paths.sysfsRoot) / "class" / "block",
                                         ec);
  readable = !ec;
  if (ec) {
    return names;
  }
  for (const auto& entry : it) {
    std::string name = entry.path().filename().string();
    if (IsSrNodeName(name)) {
      names.push_back(std::move(name));
    }
  }
  return names;
}

std::vector<std::string> ProcSrNodes(const LinuxPaths& paths) {
  std::vector<std::string> names;
  std::ifstream info(std::filesystem::path(paths.procRoot) / "sys" / "dev" / "cdrom" / "info");
  std::string line;
  while (std::getline(info, line)) {
    if (line.compare(0, kCdromInfoDriveName.size(), kCdromInfoDriveName) != 0) {
      continue;
    }
    std::istringstream fields(line.substr(kCdromInfoDriveName.size()));
    std::string name;
    while (fields >> name) {
      if (IsSrNodeName(name)) {
        names.push_back(name);
      }
    }
    break;
  }
  return names;
}

}  // namespace

bool IsSrNodeName(const std::string& name) {
  if (name.size() <= kSrPrefix.size() || name.size() > kMaxNodeNameLength ||
      name.compare(0, kSrPrefix.size(), kSrPrefix) != 0) {
    return false;
  }
  return std::all_of(name.begin() + kSrPrefix.size(), name.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string> ListSrNodes(const LinuxPaths& paths) {
  bool sysfsReadable = false;
  std::vector<std::string> names = SysfsSrNodes(paths, sysfsReadable);
  if (!sysfsReadable) {
    names = ProcSrNodes(paths);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return NodeNumber(a) < NodeNumber(b);
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::optional<KernelScsiAddress> ParseHctl(const std::string& text) {
  unsigned parts[kHctlParts] = {};
  std::string_view rest = text;
  for (int i = 0; i < kHctlParts; ++i) {
    const std::size_t colon = rest.find(':');
    const bool last = i == kHctlParts - 1;
    if (last != (colon == std::string_view::npos)) {
      return std::nullopt;
    }
    if (!ParseUnsigned(rest.substr(0, colon), parts[i])) {
      return std::nullopt;
    }
    rest = last ? std::string_view{} : rest.substr(colon + 1);
  }
  return KernelScsiAddress{parts[0], parts[1], parts[2], parts[3]};
}

std::optional<KernelScsiAddress> ReadSysfsAddress(const LinuxPaths& paths, const std::string& cls,
                                                  const std::string& name) {
  const std::filesystem::path link =
      std::filesystem::path(paths.sysfsRoot) / "class" / cls / name / "device";
  std::error_code ec;
  std::filesystem::path target = std::filesystem::read_symlink(link, ec);
  if (ec) {
    // Some trees give the device as a folder rather than a link; its real path ends the same way.
    target = std::filesystem::canonical(link, ec);
    if (ec) {
      return std::nullopt;
    }
  }
  return ParseHctl(target.filename().string());
}

std::string DevicePath(const LinuxPaths& paths, const std::string& name) {
  return (std::filesystem::path(paths.devRoot) / name).string();
}

}  // namespace kv
