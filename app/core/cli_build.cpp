// krellvane --build PARAMFILE: the builder window's Build without a display, on the builder's core.
#include <cstdio>

#include "app/core/cli.h"
#include "builder/build_session.h"
#include "media/property_block.h"

namespace kv {

int RunBuild(const CliRequest& request) {
  if (!IsBuildMode()) {
    std::fprintf(stderr,
                 "krellvane: --build works only in a builder edition (krellvane-builder) !\n");
    return kExitUsage;
  }
  BuildSession session;
  const BuildOutcome outcome = session.Run(request.buildFile);
  if (!outcome.ok()) {
    std::fprintf(stderr, "%s\n", outcome.message.c_str());
    return kExitFailure;
  }
  std::printf("%s\n", outcome.message.c_str());
  return kExitOk;
}

}  // namespace kv
