// The drawn frame covers its window at every size, and the maximise button and the title bar
// take the main window to the screen's size and back, storing the restored size when it closes.
#include <gtest/gtest.h>
#include "tests/ui/emulated_window.h"

#include <QScreen>

#include "app/forms/krellvane_msgbox.h"
#include "builder/forms/frmbuild.h"
#include "media/settings.h"
#include "ui/qt/sui_form.h"

namespace kv::test {
namespace {

using ui::SuiForm;
using ui::TitleBarButton;

QSize ScreenArea(const QWidget& window) {
  return window.screen()->availableGeometry().size();
}

QSize ScreenArea(const QtMainWindow& main) {
  return ScreenArea(*main.window);
}

// The frame covers the window; the controls keep the layout's places on the frame, and so on
// the window; the title bar's buttons sit at the window's right edge.
void ExpectFilledFrame(const QtMainWindow& form, const char* name) {
  EXPECT_EQ(form.suiForm1->geometry(), form.rect()) << name;
  EXPECT_EQ(form.cmdRefresh->geometry(), QRect(396, 111, 73, 49)) << name;
  EXPECT_EQ(form.memTranslator->geometry(), QRect(8, 191, 459, 151)) << name;
  EXPECT_EQ(form.lblCopyright->geometry(), QRect(84, 345, 310, 13)) << name;
  const TitleBarButton* close = form.suiForm1->titleButton(SuiForm::kClose);
  EXPECT_GT(close->geometry().right(), form.width() - 10) << name;
  EXPECT_TRUE(form.suiForm1->titleBarRect().contains(close->geometry())) << name;
}

class WindowFrameTest : public EmulatedWindowTest {};

TEST_F(WindowFrameTest, FrameFillsTheMainWindowAtEverySize) {
  const struct Case {
    const char* name;
    const char* settings;
    bool maximise;
  } kCases[] = {
      {"DesignSize", "", false},
      {"Stored800x600", "[Krellvane]\nWidth=800\nHeight=600\n", false},
      {"StoredSmall", "[Krellvane]\nWidth=300\nHeight=200\n", false},
      {"Maximised", "", true},
  };
  for (const Case& c : kCases) {
    WriteSettings(c.settings);
    auto form = Open(Machine());
    form->show();
    QApplication::processEvents();
    if (c.maximise) {
      form->suiForm1->titleButton(SuiForm::kMaximize)->click();
      QApplication::processEvents();
      EXPECT_EQ(form->size(), ScreenArea(*form)) << c.name;
    }
    ExpectFilledFrame(*form, c.name);
  }
}

TEST_F(WindowFrameTest, InformationBoxAndBuilderFramesFillTheirWindows) {
  TfrmKrellvaneMsgBox box(toolkit_, nullptr);
  QWidget& boxWindow = *ui::qt::WidgetOf(&box.GetWindow());
  boxWindow.show();
  QApplication::processEvents();
  EXPECT_EQ(boxWindow.size(), QSize(486, 420));
  EXPECT_EQ(ui::qt::FrameOf(&box.GetWindow())->geometry(), boxWindow.rect());
  EXPECT_EQ(ui::qt::WidgetOf(box.cmdClose)->geometry(), QRect(208, 392, 81, 21));

  TfrmBuildKV builder(toolkit_, nullptr);
  QWidget& builderWindow = *ui::qt::WidgetOf(&builder.GetWindow());
  builderWindow.show();
  QApplication::processEvents();
  EXPECT_EQ(builderWindow.size(), QSize(454, 123));
  EXPECT_EQ(ui::qt::FrameOf(&builder.GetWindow())->geometry(), builderWindow.rect());
  EXPECT_EQ(ui::qt::WidgetOf(builder.cmdClose)->geometry(), QRect(376, 92, 69, 21));
}

TEST_F(WindowFrameTest, MaximiseAndRestoreByButtonAndByDoubleClick) {
  auto form = Open(Machine());
  form->show();
  QApplication::processEvents();
  TitleBarButton* button = form->suiForm1->titleButton(SuiForm::kMaximize);
  ASSERT_NE(button, nullptr);
  const QPoint onTitle(60, 10);
  ASSERT_TRUE(form->suiForm1->titleBarRect().contains(onTitle));

  const std::function<void()> toggles[] = {
      [button] { button->click(); },
      [&form, onTitle] { DoubleClick(form->suiForm1, onTitle); },
  };
  for (std::size_t way = 0; way < std::size(toggles); ++way) {
    EXPECT_EQ(button->glyph(), TitleBarButton::Glyph::Maximize) << way;
    toggles[way]();
    QApplication::processEvents();
    EXPECT_TRUE(form->isMaximized()) << way;
    EXPECT_EQ(button->glyph(), TitleBarButton::Glyph::Restore) << way;
    EXPECT_EQ(form->size(), ScreenArea(*form)) << way;
    ExpectFilledFrame(*form, "maximised");

    toggles[way]();
    QApplication::processEvents();
    EXPECT_FALSE(form->isMaximized()) << way;
    EXPECT_EQ(button->glyph(), TitleBarButton::Glyph::Maximize) << way;
    EXPECT_EQ(form->size(), QSize(485, 391)) << way;
    ExpectFilledFrame(*form, "restored");
  }

  // A double-click below the title bar changes nothing.
  DoubleClick(form->suiForm1, QPoint(60, 300));
  QApplication::processEvents();
  EXPECT_FALSE(form->isMaximized());

  // A maximise that does not come from the frame (the window manager's) turns the button too.
  form->showMaximized();
  QApplication::processEvents();
  EXPECT_EQ(button->glyph(), TitleBarButton::Glyph::Restore);
  form->showNormal();
  QApplication::processEvents();
  EXPECT_EQ(button->glyph(), TitleBarButton::Glyph::Maximize);
}

TEST_F(WindowFrameTest, ClosedMaximisedStoresTheRestoredSize) {
  const struct Case {
    const char* name;
    const char* settings;
    bool byButton;  // false: maximised the way a window manager does it
    QSize stored;
  } kCases[] = {
      {"DesignByButton", "", true, {485, 391}},
      {"StoredByButton", "[Krellvane]\nWidth=640\nHeight=480\n", true, {640, 480}},
      {"StoredByWindowManager", "[Krellvane]\nWidth=640\nHeight=480\n", false, {640, 480}},
  };
  for (const Case& c : kCases) {
    WriteSettings(c.settings);
    {
      auto form = Open(Machine());
      form->show();
      QApplication::processEvents();
      if (c.byButton) {
        form->suiForm1->titleButton(SuiForm::kMaximize)->click();
      } else {
        form->showMaximized();
      }
      QApplication::processEvents();
      ASSERT_TRUE(form->isMaximized()) << c.name;
      ASSERT_NE(form->size(), c.stored) << c.name << ": the screen must differ from the size";
      form->close();
    }
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(ReadRegInt(kSettingsKey, "Width", width)) << c.name;
    ASSERT_TRUE(ReadRegInt(kSettingsKey, "Height", height)) << c.name;
    EXPECT_EQ(QSize(width, height), c.stored) << c.name;

    // The next start opens at that size, in the normal state.
    auto next = Open(Machine());
    EXPECT_EQ(next->size(), c.stored) << c.name;
    EXPECT_FALSE(next->isMaximized()) << c.name;
  }
}

}  // namespace
}  // namespace kv::test
