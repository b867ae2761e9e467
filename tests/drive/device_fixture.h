// An AtapiDevice on the scripted platform, addressed at one pass-through drive.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drive/application_tag.h"
#include "drive/atapi_device.h"
#include "drive/notifier.h"
#include "support/fake_platform.h"

namespace kv::test {

class SilentNotifier : public Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override {
    shown.push_back(caption + "|" + text);
  }
  std::vector<std::string> shown;
};

inline constexpr DeviceHandle kFakeHandle = 7;

class DeviceTest : public ::testing::Test {
 protected:
  // Builds the device (which finds no drives on the empty fake machine) and addresses the fake
  // drive directly, as a selection would.
  void Build(bool address = true) {
    SetApplicationTag(0);
    device = std::make_unique<AtapiDevice>(platform, notifier);
    if (address) {
      device->SetAddress(kFakeHandle, 0, 0, 0, 0);
    }
    platform.sent.clear();
  }
  void SetUp() override { Build(); }

  const SentCommand& Last() const { return platform.sent.back(); }

  FakePlatform platform;
  SilentNotifier notifier;
  std::unique_ptr<AtapiDevice> device;
};

}  // namespace kv::test
