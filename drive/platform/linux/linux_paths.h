// Where the Linux platform looks for drives: the sysfs, /dev and /proc roots. Injectable so that
// tests can lay out a fake tree in a temporary directory.
#pragma once

#include <string>

namespace kv {

struct LinuxPaths {
  std::string sysfsRoot = "/sys";
  std::string devRoot = "/dev";
  std::string procRoot = "/proc";
};

}  // namespace kv
