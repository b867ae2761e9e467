// Helpers of the Windows tests: a notifier that records, running a program of the build and
// reading its output, and the Wine settings that tests change for the length of a scope.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "drive/notifier.h"

namespace kv::win32 {

class RecordingNotifier : public Notifier {
 public:
  struct Message {
    std::string text;
    std::string caption;
  };
  void ShowError(const std::string& text, const std::string& caption) override {
    messages.push_back({text, caption});
  }
  std::vector<Message> messages;
};

// The full path of a file in the folder of the running test program.
std::string ProgramBesideThisOne(const std::string& fileName);

struct ProgramRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs a command line to its end with standard output and error captured, in folder when one is
// given.
ProgramRun RunProgram(const std::string& commandLine, const std::string& folder = {});

// A new empty folder under the system's temporary folder, removed with everything in it at the
// end of the scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // With a trailing backslash.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// HKCU\Software\Wine\AppDefaults\<program>\Version for the scope's life: the Windows version
// Wine shows that program when it starts.
class WineAppVersion {
 public:
  WineAppVersion(std::string program, std::string version);
  ~WineAppVersion();
  WineAppVersion(const WineAppVersion&) = delete;
  WineAppVersion& operator=(const WineAppVersion&) = delete;
  bool Set() const;

 private:
  std::string key_;
  std::string version_;
};

// The volatile registry entry Wine's mount manager makes for a real SCSI drive
// (HKLM\HARDWARE\DEVICEMAP\Scsi\Scsi Port 0\...), for the scope's life: with it Wine's ASPI
// manager reports one host adapter.
class VolatileScsiAdapterEntry {
 public:
  VolatileScsiAdapterEntry();
  ~VolatileScsiAdapterEntry();
  VolatileScsiAdapterEntry(const VolatileScsiAdapterEntry&) = delete;
  VolatileScsiAdapterEntry& operator=(const VolatileScsiAdapterEntry&) = delete;
  bool Made() const { return made_; }

 private:
  std::vector<std::string> created_;  // the keys this made, outermost first
  bool made_ = false;
};

}  // namespace kv::win32
