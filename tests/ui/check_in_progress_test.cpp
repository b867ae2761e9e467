// The "?" button from the keyboard, and the main window during a check: the button disabled, no
// input taken, the window still painted while the drive becomes ready, and the splash on the
// screen before the drives are questioned.
#include <gtest/gtest.h>
#include "tests/ui/emulated_window.h"

#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

#include "app/forms/splash.h"
#include "ui/qt/skin_pictures.h"

namespace kv::test {
namespace {

constexpr uint32_t kLongWaitPolls = 150;  // 45 s of emulated time, inside the 60 s bound

// Runs `during` once from inside the check, at the first pause of the readiness wait at or after
// `fromPause`; a timer fires there because the wait lets the window handle its events.
class DuringTheWait {
 public:
  DuringTheWait(const emu::EmulatedPlatform& machine, uint32_t fromPause,
                std::function<void()> during)
      : machine_(machine), fromPause_(fromPause), during_(std::move(during)) {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (!done_ && machine_.SleepCount() >= fromPause_) {
        done_ = true;
        pause_ = machine_.SleepCount();
        during_();
      }
    });
    timer_.start();
  }
  bool done() const { return done_; }
  uint32_t pause() const { return pause_; }

 private:
  const emu::EmulatedPlatform& machine_;
  uint32_t fromPause_;
  std::function<void()> during_;
  QTimer timer_;
  bool done_ = false;
  uint32_t pause_ = 0;
};

class CheckInProgressTest : public EmulatedWindowTest {
 protected:
  std::unique_ptr<QtMainWindow> OpenOn(std::unique_ptr<emu::EmulatedPlatform> machine) {
    machine_ = machine.get();
    auto form = Open(std::move(machine));
    ShowActive(*form);
    return form;
  }
  emu::EmulatedPlatform* machine_ = nullptr;
};

TEST_F(CheckInProgressTest, KeyboardReachesAndPressesTheCheckButton) {
  auto form = OpenOn(Machine());
  ASSERT_TRUE(form->cboDrives->hasFocus()) << "the window opens on the drive list";
  PressKey(form->cboDrives, Qt::Key_Tab);
  ASSERT_TRUE(form->cmdRefresh->hasFocus()) << "Tab leads from the list to \"?\"";
  EXPECT_EQ(form->cmdRefresh->pictureState(), ui::PictureState::MouseOver);

  const struct Case {
    const char* name;
    QWidget* target;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool runs;
  } kCases[] = {
      {"SpaceOnButton", form->cmdRefresh, Qt::Key_Space, Qt::NoModifier, true},
      {"ReturnOnButton", form->cmdRefresh, Qt::Key_Return, Qt::NoModifier, true},
      {"KeypadEnterOnButton", form->cmdRefresh, Qt::Key_Enter, Qt::KeypadModifier, true},
      {"F5OnButton", form->cmdRefresh, Qt::Key_F5, Qt::NoModifier, true},
      {"F5OnReport", form->memTranslator, Qt::Key_F5, Qt::NoModifier, true},
      {"F5OnDriveList", form->cboDrives, Qt::Key_F5, Qt::NoModifier, true},
      {"F5OnInformationButton", form->cmdShowKV, Qt::Key_F5, Qt::NoModifier, true},
      {"SpaceOnReport", form->memTranslator, Qt::Key_Space, Qt::NoModifier, false},
      {"F6", form->memTranslator, Qt::Key_F6, Qt::NoModifier, false},
  };
  for (const Case& c : kCases) {
    c.target->setFocus();
    form->memTranslator->clear();
    machine_->ClearCdbLog();
    if (c.key == Qt::Key_F5 || c.key == Qt::Key_F6) {
      QTest::keyClick(c.target, c.key, c.modifiers);  // through the window's shortcuts
    } else {
      PressKey(c.target, c.key, c.modifiers);
    }
    EXPECT_EQ(!machine_->CdbLog().empty(), c.runs) << c.name;
    EXPECT_EQ(form->memTranslator->toPlainText().contains("Disc Type"), c.runs) << c.name;
    EXPECT_TRUE(c.target->hasFocus()) << c.name << ": the focus comes back after the check";
    EXPECT_TRUE(form->cmdRefresh->isEnabled()) << c.name;
  }
}

TEST_F(CheckInProgressTest, ButtonIsDisabledAndTheWindowTakesNoInputDuringACheck) {
  // One undisturbed check on a twin machine gives the commands of exactly one check.
  std::size_t oneCheck = 0;
  {
    auto twin = OpenOn(Machine(20));
    machine_->ClearCdbLog();
    twin->cmdRefresh->click();
    oneCheck = machine_->CdbLog().size();
  }
  auto form = OpenOn(Machine(20));
  machine_->ClearCdbLog();
  int modalDialogs = 0;
  form->cmdRefresh->setFocus();

  std::optional<bool> enabledDuring;
  std::optional<ui::PictureState> pictureDuring;
  bool busyCursorDuring = false;
  DuringTheWait during(*machine_, 1, [&] {
    enabledDuring = form->cmdRefresh->isEnabled();
    pictureDuring = form->cmdRefresh->pictureState();
    busyCursorDuring = QApplication::overrideCursor() != nullptr;
    // Every way of asking for a second check, and a click on the information button.
    Click(form->cmdRefresh, QPoint(30, 20));
    PressKey(form->cmdRefresh, Qt::Key_Space);
    QTest::keyClick(form->memTranslator, Qt::Key_F5);
    Click(form->cmdShowKV, QPoint(10, 10));
  });
  QObject::connect(form->cmdShowKV, &QAbstractButton::clicked, [&modalDialogs] { ++modalDialogs; });
  form->cmdRefresh->click();
  QApplication::processEvents();  // whatever input was kept back arrives now

  ASSERT_TRUE(during.done());
  EXPECT_EQ(enabledDuring, false);
  EXPECT_EQ(pictureDuring, ui::PictureState::Pressed);
  EXPECT_TRUE(busyCursorDuring);
  EXPECT_EQ(machine_->CdbLog().size(), oneCheck) << "no second check, during or after";
  EXPECT_EQ(modalDialogs, 0);
  EXPECT_TRUE(form->cmdRefresh->isEnabled());
  EXPECT_TRUE(form->cmdRefresh->hasFocus());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // After the check the window takes input again.
  Click(form->cmdShowKV, QPoint(10, 10));
  EXPECT_EQ(modalDialogs, 1);
}

TEST_F(CheckInProgressTest, WindowRepaintsDuringALongReadinessWait) {
  auto form = OpenOn(Machine(kLongWaitPolls));
  // Each paint of the frame, by the pause of the wait it happened in.
  std::vector<uint32_t> paintedAtPause;
  struct PaintSpy : QObject {
    std::function<void()> onPaint;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) {
        onPaint();
      }
      return false;
    }
  } spy;
  spy.onPaint = [&] { paintedAtPause.push_back(machine_->SleepCount()); };
  form->suiForm1->installEventFilter(&spy);

  QString reportDuring;
  // Half-way through the wait the window is uncovered and must be drawn again.
  DuringTheWait during(*machine_, kLongWaitPolls / 2, [&] {
    reportDuring = form->memTranslator->toPlainText();
    paintedAtPause.clear();
    form->suiForm1->update();
  });
  form->cmdRefresh->click();
  form->suiForm1->removeEventFilter(&spy);

  ASSERT_TRUE(during.done());
  EXPECT_EQ(reportDuring, "Please wait ...");
  ASSERT_FALSE(paintedAtPause.empty()) << "no repaint while the drive became ready";
  EXPECT_GE(paintedAtPause.front(), during.pause());
  EXPECT_LT(paintedAtPause.front(), kLongWaitPolls) << "painted before the wait ended";
  EXPECT_TRUE(form->memTranslator->toPlainText().contains("Disc Type"));
}

TEST_F(CheckInProgressTest, SplashTextIsOnTheScreenBeforeTheDrivesAreQuestioned) {
  auto owned = Machine();
  emu::EmulatedPlatform* machine = owned.get();
  bool painted = false;
  bool visible = false;
  std::size_t commandsBefore = 1;
  std::size_t deviceEventsBefore = 1;
  auto form = Open(std::move(owned), [&](TfrmSplash& splash) {
    painted = splash.TextPainted();
    visible = ui::qt::WidgetOf(&splash.GetWindow())->isVisible();
    commandsBefore = machine->CdbLog().size();
    deviceEventsBefore = machine->DeviceEvents().size();
  });
  EXPECT_TRUE(painted);
  EXPECT_TRUE(visible);
  EXPECT_EQ(commandsBefore, 0u);
  EXPECT_EQ(deviceEventsBefore, 0u);
  EXPECT_FALSE(machine->CdbLog().empty()) << "the drives were questioned afterwards";
  EXPECT_EQ(form->form->Splash(), nullptr);
  EXPECT_EQ(form->window->findChild<QWidget*>("frmSplash"), nullptr);
}

TEST_F(CheckInProgressTest, APaintOfTheHiddenSplashDoesNotCount) {
  // Painting the hidden box (as a grab does) is not painting it on the screen.
  TfrmSplash splash(toolkit_, nullptr);
  ui::qt::WidgetOf(&splash.GetWindow())->grab();
  EXPECT_FALSE(splash.TextPainted());
  EXPECT_TRUE(splash.ShowPainted(std::chrono::milliseconds(5000)));
  EXPECT_TRUE(splash.TextPainted());
}

}  // namespace
}  // namespace kv::test
