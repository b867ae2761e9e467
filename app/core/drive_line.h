// The drive line shared by the main window's drive list and `krellvane --list`.
#pragma once

#include <string>

#include "drive/drive_record.h"

namespace kv {

// The two-character column for a root path. A node "srN" shows "N:" for one digit and N
// right-aligned in both columns for two (a longer number is shown whole); any other root shows
// its first two characters ("E:" of "E:\"), and an empty root (an ASPI drive) shows nothing.
std::string DriveColumn(const char* rootPath);

// The drive's line, "%2d-%d-%d-%d %.2s%24s %4s": host adapter, path id, target, lun, the
// column, DisplayName right-aligned in 24 and the revision right-aligned in 4.
std::string FormatDriveLine(const DriveRecord& drive);

// Whether the main window lists the drive: it writes CD-R, or its DriveType is CD-RW or one of the
// classes after it.
bool IsListedDrive(const DriveRecord& drive);

}  // namespace kv
