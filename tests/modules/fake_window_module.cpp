// Stand-ins for the window module, to see how the program treats a module that is stale, lacks
// its entry, or runs: KV_FAKE_VERSION is the version it claims, KV_FAKE_ENTRY whether it has the
// entry (which prints its arguments and returns 7).
#include <cstdio>

#include "app/core/platform_factory.h"

#define KV_MODULE_ENTRY extern "C" __attribute__((visibility("default")))

KV_MODULE_ENTRY const char* krellvane_window_module_version() {
  return KV_FAKE_VERSION;
}

#if KV_FAKE_ENTRY
KV_MODULE_ENTRY int krellvane_window_main(int argc, char** argv,
                                          const kv::PlatformChoice* platform) {
  std::printf("fake window: %d arguments, last %s, emulate %d\n", argc, argv[argc - 1],
              platform->emulate ? 1 : 0);
  return 7;
}
#endif
