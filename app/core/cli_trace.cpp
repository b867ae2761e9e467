#include "app/core/cli_trace.h"

#include "app/core/cli.h"
#include "drive/platform/emulated/trace_profile.h"
#include "drive/recording_platform.h"

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

}  // namespace kv
