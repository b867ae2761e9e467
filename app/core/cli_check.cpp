// STUB: replaced by its owner.
#include <cstdio>

#include "app/core/cli.h"

namespace kv {

int RunCheck(const CliRequest&) {
  std::fprintf(stderr, "krellvane: --check is not available yet\n");
  return kExitFailure;
}

}  // namespace kv
