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
#include "ui/qt/qt_toolkit.h"
#include "ui/qt/skin_button.h"
#include "ui/qt/skin_controls.h"
#include "ui/qt/skin_link_label.h"
#include "ui/qt/sui_form.h"

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

// The main window on the Qt toolkit, with its Qt widgets at hand under the form's member names.
struct QtMainWindow {
  std::unique_ptr<TfrmMain> form;
  QWidget* window;
  ui::SuiForm* suiForm1;
  ui::SkinComboBox* cboDrives;
  ui::SkinImageButton* cmdRefresh;
  ui::SkinMemo* memTranslator;
  ui::SkinButton* cmdShowKV;
  ui::SkinLinkLabel* lblCopyright;

  explicit QtMainWindow(std::unique_ptr<TfrmMain> made)
      : form(std::move(made)),
        window(ui::qt::WidgetOf(&form->GetWindow())),
        suiForm1(ui::qt::FrameOf(&form->GetWindow())),
        cboDrives(Widget<ui::SkinComboBox>(form->cboDrives)),
        cmdRefresh(Widget<ui::SkinImageButton>(form->cmdRefresh)),
        memTranslator(Widget<ui::SkinMemo>(form->memTranslator)),
        cmdShowKV(Widget<ui::SkinButton>(form->cmdShowKV)),
        lblCopyright(Widget<ui::SkinLinkLabel>(form->lblCopyright)) {}

  template <class W>
  static W* Widget(const ui::Control* control) {
    return qobject_cast<W*>(ui::qt::WidgetOf(control));
  }

  void show() { window->show(); }
  void close() { window->close(); }
  void showMaximized() { window->showMaximized(); }
  void showNormal() { window->showNormal(); }
  bool isMaximized() const { return window->isMaximized(); }
  bool isVisible() const { return window->isVisible(); }
  QSize size() const { return window->size(); }
  QRect rect() const { return window->rect(); }
  int width() const { return window->width(); }
  void resize(int w, int h) { window->resize(w, h); }
  void cmdRefreshClick() { form->cmdRefreshClick(); }
};

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

  std::unique_ptr<QtMainWindow> Open(std::unique_ptr<Platform> platform,
                                     std::function<void(TfrmSplash&)> splashShown = {}) {
    MainWindowServices services;
    services.toolkit = &toolkit_;
    services.boxes = &boxes_;
    services.runModal = [](ui::Form&) { return 0; };
    services.splashShown = std::move(splashShown);
    return std::make_unique<QtMainWindow>(
        std::make_unique<TfrmMain>(std::move(platform), services));
  }

  // Shows the window and lets it become the active one, so that it has a focus widget.
  static void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
  }
  static void ShowActive(QtMainWindow& main) { ShowActive(*main.window); }

  std::filesystem::path settings_;
  ui::qt::QtToolkit toolkit_;
  std::string previous_;
  ui::RecordingMessageBoxes boxes_;
};

}  // namespace kv::test
