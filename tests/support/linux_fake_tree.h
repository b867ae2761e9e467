// A fake sysfs, /dev and /proc tree in a temporary folder for the Linux platform tests.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "drive/platform/linux/linux_paths.h"

namespace kv::linuxtest {

class FakeTree {
 public:
  FakeTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kv-linux-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) {
      root_ = pattern;
    }
    paths.sysfsRoot = (root_ / "sys").string();
    paths.devRoot = (root_ / "dev").string();
    paths.procRoot = (root_ / "proc").string();
    std::filesystem::create_directories(paths.devRoot);
  }
  ~FakeTree() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  FakeTree(const FakeTree&) = delete;
  FakeTree& operator=(const FakeTree&) = delete;

  bool Ok() const { return !root_.empty(); }

  // <sys>/class/<cls>/<name>/device -> ../../../devices/<hctl>, the target made a folder that
  // holds a "type" file when type is not negative.
  void AddSysfsNode(const std::string& cls, const std::string& name, const std::string& hctl,
                    int type = -1) {
    const auto node = std::filesystem::path(paths.sysfsRoot) / "class" / cls / name;
    std::filesystem::create_directories(node);
    const auto device = std::filesystem::path(paths.sysfsRoot) / "devices" / hctl;
    std::filesystem::create_directories(device);
    if (type >= 0) {
      Write(device / "type", std::to_string(type) + "\n");
    }
    std::filesystem::create_symlink(std::filesystem::path("../../../devices") / hctl,
                                    node / "device");
  }
  // A folder under <sys>/class/<cls> without a device link.
  void AddSysfsEntry(const std::string& cls, const std::string& name) {
    std::filesystem::create_directories(std::filesystem::path(paths.sysfsRoot) / "class" / cls /
                                        name);
  }
  void AddDevNode(const std::string& name) {
    Write(std::filesystem::path(paths.devRoot) / name, "");
  }
  void AddProcFile(const std::string& relative, const std::string& text) {
    const auto file = std::filesystem::path(paths.procRoot) / relative;
    std::filesystem::create_directories(file.parent_path());
    Write(file, text);
  }
  std::string DevPath(const std::string& name) const {
    return (std::filesystem::path(paths.devRoot) / name).string();
  }

  LinuxPaths paths;

 private:
  static void Write(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file) << text;
  }

  std::filesystem::path root_;
};

}  // namespace kv::linuxtest
