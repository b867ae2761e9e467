// The window program on any toolkit: the main window on the chosen drives, its message loop, and
// any error that escapes shown in a system box.
#pragma once

#include <functional>
#include <memory>

#include "app/core/platform_factory.h"
#include "app/forms/frmmain.h"
#include "ui/toolkit.h"

namespace kv {

// Makes the builder window of build mode, owned by the given window. The process entry supplies
// it, so that the main window needs nothing of the builder's.
using BuilderWindowFactory = std::function<std::unique_ptr<ui::Form>(ui::Window* owner)>;

struct WindowProgramHooks {
  // May add to the services before the window is made (the screenshot tour).
  std::function<void(MainWindowServices&)> attach;
  // Called once the main window is shown, before the message loop.
  std::function<void(TfrmMain&)> shown;
};

// Returns the program's exit status.
int RunWindowProgram(ui::Toolkit& toolkit, const PlatformChoice& platform,
                     BuilderWindowFactory makeBuilder, const WindowProgramHooks& hooks = {});

}  // namespace kv
