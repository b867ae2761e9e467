#include "os/linux/same_file.h"

#include <sys/stat.h>

namespace kv {

bool EntryIsFileBehind(const std::filesystem::path& path, const std::filesystem::path& link) {
  struct stat entry {};
  struct stat target {};
  if (::lstat(path.c_str(), &entry) != 0 || ::stat(link.c_str(), &target) != 0) {
    return false;
  }
  return entry.st_dev == target.st_dev && entry.st_ino == target.st_ino;
}

}  // namespace kv
