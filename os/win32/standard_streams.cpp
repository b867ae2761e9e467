// The C runtime opens the standard streams in text mode, which writes "\n" as "\r\n".
#include "os/standard_streams.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace kv {

void UseUnchangedStandardStreams() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace kv
