// The program's entry: the window without options, the command-line front end with them.
#include "app/core/cli.h"
#include "app/core/window_start.h"
#include "os/standard_streams.h"
#include "os/system_names.h"

int main(int argc, char** argv) {
  kv::UseUnchangedStandardStreams();
  kv::UseSystemEncodingForNames();
  const kv::CliRequest request = kv::ParseCommandLine(argc, argv);
  if (request.exitNow) {
    return request.exitCode;
  }
  if (request.mode != kv::CliMode::Gui) {
    return kv::RunCli(request);
  }
  return kv::StartWindow(argc, argv, request.platform);
}
