// Standard output and error as the command line writes them.
#pragma once

namespace kv {

// Makes both streams carry the program's bytes unchanged, so that its output is the same on
// every system ("\n" ends a line, never "\r\n"). Called once, before anything is written.
void UseUnchangedStandardStreams();

}  // namespace kv
