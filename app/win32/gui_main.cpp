#include "app/win32/gui_main.h"

#include <memory>

#include "app/forms/window_program.h"
#include "builder/forms/frmbuild.h"
#include "ui/win32/win32_toolkit.h"

namespace kv {

int RunGui(int, char**, const PlatformChoice& platform) {
  ui::win32::Win32Toolkit toolkit;
  return RunWindowProgram(toolkit, platform,
                          [&toolkit](ui::Window* owner) -> std::unique_ptr<ui::Form> {
                            return std::make_unique<TfrmBuildKV>(toolkit, owner);
                          });
}

}  // namespace kv
