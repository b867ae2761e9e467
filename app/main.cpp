// The program's entry: the window without options, the command-line front end with them.
#include "app/core/cli.h"
#include "os/standard_streams.h"

#ifdef KV_WITH_GUI
#include "app/forms/gui_main.h"
#include "builder/forms/frmbuild.h"
#endif

#include <cstdio>

int main(int argc, char** argv) {
  kv::UseUnchangedStandardStreams();
  const kv::CliRequest request = kv::ParseCommandLine(argc, argv);
  if (request.exitNow) {
    return request.exitCode;
  }
  if (request.mode != kv::CliMode::Gui) {
    return kv::RunCli(request);
  }
#ifdef KV_WITH_GUI
  return kv::RunGui(argc, argv, request.platform, [](QWidget* owner) -> std::unique_ptr<QDialog> {
    return std::make_unique<kv::TfrmBuildKV>(owner);
  });
#else
  std::fprintf(stderr,
               "krellvane: this build has no window yet; the command line works (see --help)\n");
  return kv::kExitUsage;
#endif
}
