#include "app/core/cli_trace.h"

#include "app/core/cli.h"
#include "app/core/platform_factory.h"
#include "drive/platform/emulated/trace_profile.h"
#include "drive/recording_platform.h"

#include <iostream>
#include <memory>

namespace kv {

int RunTraced(Platform& platform, const std::string& traceFile, std::ostream& err,
              const std::function<int(Platform&)>& mode) {
  if (traceFile.empty()) {
    return mode(platform);
  }
  RecordingPlatform recorder(platform);
  const int code = mode(recorder);
  std::string error;
  if (!emu::WriteTraceFile(recorder.Recorded(), traceFile, error)) {
    err << "krellvane: " << error << '\n';
    return kExitFailure;
  }
  return code;
}

int RunOnRequestedPlatform(const CliRequest& request,
                           const std::function<int(Platform&, Notifier&)>& mode) {
  std::string error;
  const std::unique_ptr<Platform> platform = CreatePlatform(request.platform, error);
  if (!platform) {
    std::cerr << "krellvane: Unable to create Device Object ! (" << error << ")\n";
    return kExitFailure;
  }
  StderrNotifier notifier;
  return RunTraced(*platform, request.traceFile, std::cerr,
                   [&](Platform& traced) { return mode(traced, notifier); });
}

}  // namespace kv
