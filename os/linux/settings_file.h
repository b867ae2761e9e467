// The settings backend of a one-file store: a human-editable text file of sections and
// Name=value lines, for example
//
//   [Krellvane]
//   Width=485
//   Height=391
//   UserDefinedFule=/home/me/media.txt
//
// The section is the key name; section and value names compare without case. Lines the store
// does not understand are kept as they are when it writes.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

#include "os/atomic_file.h"
#include "os/settings_backend.h"

namespace kv {

// $KRELLVANE_SETTINGS if set and not empty, else $XDG_CONFIG_HOME/krellvane/settings.ini, else
// $HOME/.config/krellvane/settings.ini. Empty when none of them is set.
std::filesystem::path SettingsFilePath();

class SettingsFile : public SettingsBackend {
 public:
  // calls: the system calls of a replace; tests pass calls that fail.
  explicit SettingsFile(std::filesystem::path path, FileCalls& calls = SystemFileCalls())
      : path_(std::move(path)), calls_(calls) {}

  bool ReadText(const std::string& keyName, const std::string& valueName,
                std::string& value) override;
  bool ReadInteger(const std::string& keyName, const std::string& valueName,
                   int32_t& value) override;
  bool WriteInteger(const std::string& keyName, const std::string& valueName,
                    int32_t value) override;

  const std::filesystem::path& Path() const { return path_; }

 private:
  // The whole file; false when it exists but cannot be read. A missing file is empty content.
  bool Load(std::string& content, bool& exists) const;
  bool Find(const std::string& keyName, const std::string& valueName, std::string& value) const;
  bool ReplaceFile(const std::string& content);

  std::filesystem::path path_;
  FileCalls& calls_;
};

}  // namespace kv
