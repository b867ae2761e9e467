// The forms on the recording toolkit, on emulated drives, with the message boxes recorded and a
// settings file of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/forms/frmmain.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "tests/support/fake_toolkit.h"
#include "ui/message_boxes.h"

namespace kv::test {

inline std::string Profile(const char* file) {
  return std::string(KV_PROFILE_DIR) + "/" + file;
}

inline std::unique_ptr<emu::EmulatedPlatform> Machine(const std::vector<std::string>& profiles) {
  std::string error;
  std::unique_ptr<emu::EmulatedPlatform> machine = emu::CreateEmulatedMachine(profiles, error);
  EXPECT_NE(machine, nullptr) << error;
  return machine;
}

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    settings_ = std::filesystem::temp_directory_path() /
                (std::string("kv-forms-") + info->test_suite_name() + "-" + info->name() + ".ini");
    std::filesystem::remove(settings_);
    const char* previous = std::getenv("KRELLVANE_SETTINGS");
    previous_ = previous != nullptr ? previous : "";
    setenv("KRELLVANE_SETTINGS", settings_.c_str(), 1);
  }
  void TearDown() override {
    std::filesystem::remove(settings_);
    setenv("KRELLVANE_SETTINGS", previous_.c_str(), 1);
  }

  void WriteSettings(const std::string& text) {
    std::ofstream out(settings_);
    out << text;
  }

  MainWindowServices Services() {
    MainWindowServices services;
    services.toolkit = &toolkit_;
    services.boxes = &boxes_;
    services.runModal = [this](ui::Form& form) {
      modal_.push_back(form.GetWindow().Name());
      if (onModal_) {
        onModal_(form);
      }
      return 0;
    };
    services.makeBuilder = makeBuilder_;
    return services;
  }

  std::unique_ptr<TfrmMain> Open(std::unique_ptr<Platform> platform) {
    return std::make_unique<TfrmMain>(std::move(platform), Services());
  }

  FakeWindow& WindowOf(TfrmMain& form) { return dynamic_cast<FakeWindow&>(form.GetWindow()); }

  std::filesystem::path settings_;
  std::string previous_;
  FakeToolkit toolkit_;
  ui::RecordingMessageBoxes boxes_;
  std::vector<std::string> modal_;
  std::function<void(ui::Form&)> onModal_;
  std::function<std::unique_ptr<ui::Form>(ui::Window*)> makeBuilder_;
};

}  // namespace kv::test
