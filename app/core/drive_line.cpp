#include "app/core/drive_line.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace kv {

namespace {

constexpr char kNodePrefix[] = "sr";
constexpr std::size_t kNodePrefixLength = sizeof kNodePrefix - 1;
constexpr std::size_t kColumnWidth = 2;
constexpr std::size_t kLineCapacity = 128;

// The text of a fixed-width field up to its first zero, never past the field.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
  return std::string(field, strnlen(field, N));
}

bool IsNodeRoot(const std::string& root) {
  if (root.size() <= kNodePrefixLength || root.compare(0, kNodePrefixLength, kNodePrefix) != 0) {
    return false;
  }
  for (std::size_t i = kNodePrefixLength; i < root.size(); ++i) {
    if (root[i] < '0' || root[i] > '9') {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string DriveColumn(const char* rootPath) {
  if (rootPath == nullptr) {
    return {};
  }
  const std::string root(rootPath, strnlen(rootPath, sizeof(DriveRecord::RootPath)));
  if (!IsNodeRoot(root)) {
    return root.substr(0, kColumnWidth);
  }
  const std::string number = root.substr(kNodePrefixLength);
  if (number.size() == 1) {
    return number + ":";
  }
  return number;
}

std::string FormatDriveLine(const DriveRecord& drive) {
  const std::string column = DriveColumn(drive.RootPath);
  const std::string name = FieldText(drive.DisplayName);
  const std::string revision = FieldText(drive.Revision);
  char line[kLineCapacity];
  // The column is passed with its own length so that a node number wider than two digits is
  // shown whole; for every other root it is at most two characters, as %.2s prints them.
  const int written = std::snprintf(
      line, sizeof line, "%2d-%d-%d-%d %.*s%24s %4s", drive.HostAdapter, drive.PathId, drive.Target,
      drive.Lun, static_cast<int>(column.size()), column.c_str(), name.c_str(), revision.c_str());
  if (written < 0) {
    return {};
  }
  return std::string(line,
                     std::min<std::size_t>(static_cast<std::size_t>(written), sizeof line - 1));
}

bool IsListedDrive(const DriveRecord& drive) {
  return drive.CdWriter != 0 || IsCdRwOrAbove(drive.DriveType);
}

}  // namespace kv
