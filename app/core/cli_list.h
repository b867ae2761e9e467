// `krellvane --list`: one numbered line per drive the device object finds, or one JSON object.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "drive/notifier.h"
#include "drive/platform.h"

namespace kv {

class AtapiDevice;
struct DriveListing;

// One drive as --list shows it.
struct ListedDrive {
  int anyDriveLine = 0;           // its line with --any-drive: every drive, from 1
  std::optional<int> writerLine;  // its line for --check: the writers, from 1; none for a reader
  std::string node;               // "/dev/sr0", "/dev/sg3"; empty when unknown
  std::string driveLine;          // the window's drive line, as the window shows it
  std::string typeName;           // the drive type's name, blanks at the end removed
  uint8_t typeCode = 0;
  std::string vendor, product, revision, address;
};

// The device's drives in their order, numbered as --check counts them.
std::vector<ListedDrive> ListedDrives(const AtapiDevice& device, const DriveListing& writers);

// "NN  DRIVE-LINE  TYPE  writer|reader  NODE": the --check number right-aligned in two columns
// ("-" for a reader), then the window's drive line unchanged.
std::string FormatListLine(const ListedDrive& drive);

// Builds the device object on the platform (with the application tag the main window sets) and
// prints the drives to out, as text lines or (json) one JSON object. Load failures go to the
// notifier, the permission hints and the no-drive message to err.
// Returns kExitOk with drives, kExitNoDrive without.
int ListDrives(Platform& platform, Notifier& notifier, std::ostream& out, std::ostream& err,
               bool json = false);

}  // namespace kv
