// POSIX streams never translate line ends.
#include "os/standard_streams.h"

namespace kv {

void UseUnchangedStandardStreams() {}

}  // namespace kv
