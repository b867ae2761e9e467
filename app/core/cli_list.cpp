#include "app/core/cli_list.h"

#include <cstring>
#include <iostream>
#include <string>

#include "app/core/cli.h"
#include "app/core/drive_line.h"
#include "app/core/startup.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"

namespace kv {

namespace {

constexpr const char* kNoDriveMessage = "No drive detected !";
constexpr const char* kEmulateHint =
    "krellvane: no CD/DVD drive could be used here; try --emulate to run on the built-in sample "
    "drives";
constexpr const char* kWriterWord = "writer";
constexpr const char* kReaderWord = "reader";

void PrintPermissionHints(const Platform& platform, std::ostream& err) {
  for (const DeniedNode& node : platform.DeniedNodes()) {
    err << "krellvane: cannot open " << node.path << ": " << std::strerror(node.osError)
        << " (add your user to the 'cdrom' group)\n";
  }
}

}  // namespace

int ListDrives(Platform& platform, Notifier& notifier, std::ostream& out, std::ostream& err) {
  Startup startup(&platform, notifier);
  startup.SetApplicationTag();
  if (!startup.CreateDevice()) {
    err << "krellvane: Unable to create Device Object !\n";
    return kExitFailure;
  }
  const AtapiDevice& device = *startup.Device();

  int printed = 0;
  for (uint32_t index = 0; index < device.GetDriveCount(); ++index) {
    const DriveRecord* drive = device.GetDriveRecord(index);
    if (drive == nullptr) {
      continue;
    }
    out << FormatDriveLine(*drive) << "  "
        << (drive->DriveTypeName != nullptr ? drive->DriveTypeName : "") << "  "
        << (IsListedDrive(*drive) ? kWriterWord : kReaderWord) << '\n';
    ++printed;
  }
  out.flush();
  PrintPermissionHints(platform, err);
  if (printed == 0) {
    err << kNoDriveMessage << '\n' << kEmulateHint << '\n';
    return kExitNoDrive;
  }
  return kExitOk;
}

int RunList(const CliRequest& request) {
  std::string error;
  const std::unique_ptr<Platform> platform = CreatePlatform(request.platform, error);
  if (platform == nullptr) {
    std::cerr << "krellvane: " << error << '\n';
    return kExitFailure;
  }
  StderrNotifier notifier;
  return ListDrives(*platform, notifier, std::cout, std::cerr);
}

}  // namespace kv
