// Starts the window application (no command-line options, or --emulate alone).
#pragma once

#include <functional>
#include <memory>

#include "app/core/platform_factory.h"

class QDialog;
class QWidget;

namespace kv {

// Makes the builder window of build mode, owned by the given window. The process entry supplies
// it, so that the main window needs nothing of the builder's.
using BuilderWindowFactory = std::function<std::unique_ptr<QDialog>(QWidget* owner)>;

int RunGui(int argc, char** argv, const PlatformChoice& platform, BuilderWindowFactory makeBuilder);

}  // namespace kv
