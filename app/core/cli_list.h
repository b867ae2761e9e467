// `krellvane --list`: one line per drive the device object finds.
#pragma once

#include <iosfwd>

#include "drive/notifier.h"
#include "drive/platform.h"

namespace kv {

// Builds the device object on the platform (with the application tag the main window sets) and
// prints one line per drive to out: the drive line, the drive type name and "writer" when the
// main window would list it, "reader" otherwise. Load failures go to the notifier, the
// permission hints and the no-drive message to err.
// Returns kExitOk with drives, kExitNoDrive without.
int ListDrives(Platform& platform, Notifier& notifier, std::ostream& out, std::ostream& err);

}  // namespace kv
