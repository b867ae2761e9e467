// The main window offscreen on emulated drives, with a settings file of the test's own and the
// message boxes recorded; the machine stays reachable for its clock and command log.
#pragma once

#include <gtest/gtest.h>
#include "tests/ui/test_application.h"

#include <QApplication>
#include <QDialog>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointingDevice>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/forms/frmmain.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "ui/message_boxes.h"

namespace kv::test {

inline std::string ProfilePath(const char* file) {
  return std::string(KV_PROFILE_DIR) + "/" + file;
}

// Synthetic input comes from devices of the tests' own, which outlive the application.
inline const QPointingDevice* WindowTestMouse() {
  static const QPointingDevice* mouse = new QPointingDevice(
      "kv-window-test-mouse", 11, QInputDevice::DeviceType::Mouse,
      QPointingDevice::PointerType::Generic, QInputDevice::Capability::Position, 1, 3);
  return mouse;
}

inline void Click(QWidget* widget, QPoint local) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonPress ? Qt::MouseButtons(Qt::LeftButton) : Qt::NoButton;
    QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), Qt::LeftButton,
                      held, Qt::NoModifier, WindowTestMouse());
    QApplication::sendEvent(widget, &event);
  }
}

inline void DoubleClick(QWidget* widget, QPoint local) {
  const struct {
    QEvent::Type type;
    Qt::MouseButtons held;
  } steps[] = {{QEvent::MouseButtonPress, Qt::LeftButton},
               {QEvent::MouseButtonRelease, Qt::NoButton},
               {QEvent::MouseButtonDblClick, Qt::LeftButton},
               {QEvent::MouseButtonRelease, Qt::NoButton}};
  for (const auto& step : steps) {
    QMouseEvent event(step.type, QPointF(local), QPointF(widget->mapToGlobal(local)),
                      Qt::LeftButton, step.held, Qt::NoModifier, WindowTestMouse());
    QApplication::sendEvent(widget, &event);
  }
}

// A key pressed and released on the widget, as its own key handling sees it.
inline void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, key, modifiers, 0, 0, 0, QString(), false, 1, TestKeyboard());
    QApplication::sendEvent(widget, &event);
  }
}

class EmulatedWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestApplication();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    settings_ = std::filesystem::temp_directory_path() /
                (std::string("kv-window-") + info->test_suite_name() + "-" + info->name() + ".ini");
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

  // A machine with one blank CD-R writer; `notReadyPolls` readiness polls answer "becoming ready".
  std::unique_ptr<emu::EmulatedPlatform> Machine(uint32_t notReadyPolls = 0) {
    std::string error;
    auto machine = emu::CreateEmulatedMachine({ProfilePath("orvelix-dvdrw-blank-cdr.json")}, error);
    EXPECT_NE(machine, nullptr) << error;
    if (machine != nullptr && notReadyPolls > 0) {
      machine->Drive(0).SetBecomingReady(notReadyPolls, 0);
    }
    return machine;
  }

  std::unique_ptr<TfrmMain> Open(std::unique_ptr<Platform> platform,
                                 std::function<void(QWidget&)> splashShown = {}) {
    MainWindowServices services;
    services.boxes = &boxes_;
    services.runModal = [](QDialog&) { return 0; };
    services.splashShown = std::move(splashShown);
    return std::make_unique<TfrmMain>(std::move(platform), services);
  }

  // Shows the window and lets it become the active one, so that it has a focus widget.
  static void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
  }

  std::filesystem::path settings_;
  std::string previous_;
  ui::RecordingMessageBoxes boxes_;
};

}  // namespace kv::test
