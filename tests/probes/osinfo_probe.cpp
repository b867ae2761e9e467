// Builds the device object on the Windows platform and prints what it chose, for the tests that
// run this program under another Wine version setting (a process reads its version at start):
//   nt=<0|1> aspi=<0|1> drives=<count> messages=<count>
#include <cstdio>
#include <string>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "drive/platform/win32/win32_platform.h"

namespace {

class CountingNotifier : public kv::Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    ++count;
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  }
  int count = 0;
};

}  // namespace

int main() {
  kv::win32::Win32Platform platform;
  CountingNotifier notifier;
  kv::SetApplicationTag(kv::kApplicationTagPreferAspi);
  kv::AtapiDevice device(platform, notifier);
  std::printf("nt=%d aspi=%d drives=%u messages=%d\n", platform.IsNtFamily() ? 1 : 0,
              device.UsesAspi() ? 1 : 0, static_cast<unsigned>(device.GetDriveCount()),
              notifier.count);
  return 0;
}
