// The window module's two entry points, looked up by name when the program opens its window.
#include "app/core/window_start.h"
#include "app/win32/gui_main.h"

#define KV_MODULE_ENTRY extern "C" __attribute__((dllexport))

KV_MODULE_ENTRY const char* krellvane_window_module_version() {
  return KV_VERSION;
}

KV_MODULE_ENTRY int krellvane_window_main(int argc, char** argv,
                                          const kv::PlatformChoice* platform) {
  return kv::RunGui(argc, argv, *platform);
}
