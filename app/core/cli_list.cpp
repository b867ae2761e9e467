// STUB: replaced by its owner.
#include <cstdio>

#include "app/core/cli.h"

namespace kv {

int RunList(const CliRequest&) {
  std::fprintf(stderr, "krellvane: --list is not available yet\n");
  return kExitFailure;
}

}  // namespace kv
