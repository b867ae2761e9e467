#include "app/forms/window_program.h"

#include <cstdio>
#include <exception>
#include <string>

#include "ui/message_boxes.h"

namespace kv {

namespace {

constexpr const char* kApplicationTitle = "Krellvane";

void RunMainWindow(ui::Toolkit& toolkit, const PlatformChoice& choice,
                   BuilderWindowFactory makeBuilder, const WindowProgramHooks& hooks) {
  ui::ToolkitMessageBoxes boxes(toolkit);
  std::string error;
  std::unique_ptr<Platform> platform = CreatePlatform(choice, error);
  if (platform == nullptr && !error.empty()) {
    std::fprintf(stderr, "krellvane: %s\n", error.c_str());
  }
  MainWindowServices services;
  services.toolkit = &toolkit;
  services.boxes = &boxes;
  services.makeBuilder = std::move(makeBuilder);
  if (hooks.attach) {
    hooks.attach(services);
  }
  TfrmMain form(std::move(platform), services);
  if (form.TerminateRequested()) {
    return;
  }
  form.GetWindow().Show();
  if (hooks.shown) {
    hooks.shown(form);
  }
  toolkit.Run(form.GetWindow());
}

}  // namespace

int RunWindowProgram(ui::Toolkit& toolkit, const PlatformChoice& platform,
                     BuilderWindowFactory makeBuilder, const WindowProgramHooks& hooks) {
  try {
    RunMainWindow(toolkit, platform, std::move(makeBuilder), hooks);
  } catch (const std::exception& e) {
    toolkit.ShowSystemError(nullptr, kApplicationTitle, e.what());
  } catch (...) {
    toolkit.ShowSystemError(nullptr, kApplicationTitle, "Unknown error");
  }
  return 0;
}

}  // namespace kv
