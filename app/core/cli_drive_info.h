// krellvane --speeds LINE and --drive-info LINE: every write speed the drive offers for the
// inserted disc, and the drive's own features with the disc's status and size. LINE counts the
// lines of --list from 1, readers included.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>

#include "app/core/cli.h"
#include "drive/drive_info.h"

namespace kv {

class Notifier;
class Platform;

int RunSpeedsOn(Platform& platform, Notifier& notifier, const CliRequest& request,
                std::ostream& out, std::ostream& err);
int RunDriveInfoOn(Platform& platform, Notifier& notifier, const CliRequest& request,
                   std::ostream& out, std::ostream& err);

// The report lines and JSON fields, for the tests.
std::string FormatMultiple(double multiple);
nlohmann::json WriteSpeedsJson(const WriteSpeedReport& report);
nlohmann::json DriveFeaturesJson(const DriveFeatures& features);

}  // namespace kv
