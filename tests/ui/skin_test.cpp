// The skinned controls: frame buttons and dragging, picture button states, link label, message
// dialog, fonts and the message-box seam.
#include <gtest/gtest.h>
#include "tests/ui/test_application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointingDevice>

#include "ui/qt/skin_button.h"
#include "ui/qt/skin_link_label.h"
#include "ui/qt/skin_message_dialog.h"
#include "ui/qt/skin_style.h"
#include "ui/qt/sui_form.h"

namespace kv::ui {
namespace {

QApplication& SkinApp() {
  return test::TestApplication();
}

// A mouse of the tests' own, never destroyed: the default device of synthetic events is a child of
// the application and would be torn down with it after the library's globals at exit.
const QPointingDevice* TestMouse() {
  static const QPointingDevice* mouse = new QPointingDevice(
      "kv-test-mouse", 1, QInputDevice::DeviceType::Mouse, QPointingDevice::PointerType::Generic,
      QInputDevice::Capability::Position, 1, 3);
  return mouse;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(local), QPointF(widget->mapToGlobal(local)), button, buttons,
                    Qt::NoModifier, TestMouse());
  QApplication::sendEvent(widget, &event);
}

void SendEnter(QWidget* widget) {
  QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(widget->mapToGlobal(QPoint(1, 1))),
                    TestMouse());
  QApplication::sendEvent(widget, &event);
}

// A key pressed and released on the widget.
void SendKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, key, modifiers, 0, 0, 0, QString(), false, 1, test::TestKeyboard());
    QApplication::sendEvent(widget, &event);
  }
}

void SendLeave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override { SkinApp(); }
};

TEST_F(SkinTest, FontSizesArePixelsAt96Dpi) {
  struct Case {
    const char* family;
    int points;
    int pixels;
  };
  const Case cases[] = {{kTahoma, 8, 11},
                        {kVerdana, 8, 11},
                        {kVerdana, 9, 12},
                        {kCourierNew, 9, 12},
                        {kMsSansSerif, 8, 11}};
  for (const Case& c : cases) {
    const QFont font = SkinFont(c.family, c.points, true);
    EXPECT_EQ(font.pixelSize(), c.pixels) << c.family << " " << c.points;
    EXPECT_TRUE(font.bold());
  }
  EXPECT_TRUE(QFontInfo(SkinFont(kCourierNew, 9)).fixedPitch());
}

TEST_F(SkinTest, TitleButtonsAsAsked) {
  struct Case {
    int buttons;
    bool minimize, maximize, close;
  };
  const Case cases[] = {{SuiForm::kAllButtons, true, true, true},
                        {SuiForm::kClose, false, false, true},
                        {SuiForm::kNoButtons, false, false, false}};
  for (const Case& c : cases) {
    SuiForm frame(nullptr, true, c.buttons);
    frame.resize(300, 100);
    frame.show();  // a hidden widget gets its resize event when it is shown
    EXPECT_EQ(frame.titleButton(SuiForm::kMinimize) != nullptr, c.minimize) << c.buttons;
    EXPECT_EQ(frame.titleButton(SuiForm::kMaximize) != nullptr, c.maximize) << c.buttons;
    EXPECT_EQ(frame.titleButton(SuiForm::kClose) != nullptr, c.close) << c.buttons;
    if (TitleBarButton* close = frame.titleButton(SuiForm::kClose)) {
      // Inside the title bar, at its right end.
      EXPECT_TRUE(frame.titleBarRect().contains(close->geometry())) << c.buttons;
      EXPECT_GT(close->x(), 250);
    }
  }
  SuiForm untitled(nullptr, false, SuiForm::kAllButtons);
  EXPECT_EQ(untitled.titleButton(SuiForm::kClose), nullptr);
  EXPECT_TRUE(untitled.titleBarRect().isNull());
}

TEST_F(SkinTest, MaximiseButtonTogglesAndDraggingTheTitleMovesTheWindow) {
  QWidget window;
  ApplySkinWindow(&window);
  window.resize(300, 200);
  SuiForm* frame = new SuiForm(&window, true, SuiForm::kAllButtons);
  frame->setGeometry(0, 0, 300, 200);
  window.move(50, 50);
  window.show();
  QApplication::processEvents();

  frame->titleButton(SuiForm::kMaximize)->click();
  EXPECT_TRUE(window.isMaximized());
  frame->titleButton(SuiForm::kMaximize)->click();
  EXPECT_FALSE(window.isMaximized());

  const QPoint before = window.pos();
  SendMouse(frame, QEvent::MouseButtonPress, QPoint(40, 10), Qt::LeftButton, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseMove, QPoint(70, 30), Qt::NoButton, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseButtonRelease, QPoint(70, 30), Qt::LeftButton, Qt::NoButton);
  EXPECT_NE(window.pos(), before);

  // A press in the client area moves nothing.
  const QPoint settled = window.pos();
  SendMouse(frame, QEvent::MouseButtonPress, QPoint(40, 100), Qt::LeftButton, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseMove, QPoint(90, 150), Qt::NoButton, Qt::LeftButton);
  SendMouse(frame, QEvent::MouseButtonRelease, QPoint(90, 150), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(window.pos(), settled);
}

TEST_F(SkinTest, PictureButtonShowsThreeStatesAndTakesFocusWithoutARectangle) {
  QWidget window;
  SkinImageButton* button = new SkinImageButton(&window);
  button->resize(73, 49);
  window.show();
  EXPECT_TRUE((button->focusPolicy() & Qt::TabFocus) != 0);
  EXPECT_EQ(button->pictureState(), PictureState::Normal);
  button->setDown(true);
  EXPECT_EQ(button->pictureState(), PictureState::Pressed);
  button->setDown(false);
  int clicks = 0;
  QObject::connect(button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
  button->click();
  EXPECT_EQ(clicks, 1);
  // The three pictures differ from each other.
  const QImage normal = DrawQuestionPicture({73, 49}, PictureState::Normal).toImage();
  const QImage over = DrawQuestionPicture({73, 49}, PictureState::MouseOver).toImage();
  const QImage pressed = DrawQuestionPicture({73, 49}, PictureState::Pressed).toImage();
  EXPECT_NE(normal, over);
  EXPECT_NE(normal, pressed);
  EXPECT_NE(over, pressed);

  // Focus shows as the mouse-over picture, and nothing but the picture is painted: the focused
  // button renders exactly the mouse-over picture.
  window.activateWindow();
  QApplication::setActiveWindow(&window);
  QApplication::processEvents();
  button->setFocus();
  ASSERT_TRUE(button->hasFocus());
  EXPECT_EQ(button->pictureState(), PictureState::MouseOver);
  QImage rendered(73, 49, QImage::Format_ARGB32_Premultiplied);
  rendered.fill(Qt::transparent);
  button->setPictures(DrawQuestionPicture({73, 49}, PictureState::Normal),
                      DrawQuestionPicture({73, 49}, PictureState::MouseOver),
                      DrawQuestionPicture({73, 49}, PictureState::Pressed));
  button->render(&rendered, QPoint(), QRegion(), QWidget::DrawChildren);
  EXPECT_EQ(rendered, over.convertToFormat(QImage::Format_ARGB32_Premultiplied));

  // Disabled, it looks pressed whatever else holds.
  button->setEnabled(false);
  EXPECT_EQ(button->pictureState(), PictureState::Pressed);
  button->setEnabled(true);
}

TEST_F(SkinTest, PictureButtonKeys) {
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int clicks;
  };
  const Case cases[] = {
      {"Space", Qt::Key_Space, Qt::NoModifier, 1},
      {"Return", Qt::Key_Return, Qt::NoModifier, 1},
      {"Enter", Qt::Key_Enter, Qt::KeypadModifier, 1},
      {"ControlReturn", Qt::Key_Return, Qt::ControlModifier, 0},
      {"Letter", Qt::Key_A, Qt::NoModifier, 0},
  };
  for (const Case& c : cases) {
    QWidget window;
    SkinImageButton* button = new SkinImageButton(&window);
    window.show();
    window.activateWindow();
    button->setFocus();
    int clicks = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&clicks] { ++clicks; });
    SendKey(button, c.key, c.modifiers);
    EXPECT_EQ(clicks, c.clicks) << c.name;
    button->setEnabled(false);
    SendKey(button, c.key, c.modifiers);
    EXPECT_EQ(clicks, c.clicks) << c.name << ": a disabled button takes no key";
  }
}

TEST_F(SkinTest, LinkLabelHighlightsAndOpensTheMakersPage) {
  SkinLinkLabel label(nullptr);
  label.setText("Copyright");
  label.resize(310, 13);
  std::vector<QUrl> opened;
  label.setOpener([&opened](const QUrl& url) {
    opened.push_back(url);
    return true;
  });
  EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(kLinkColour));
  SendEnter(&label);
  EXPECT_TRUE(label.isHighlighted());
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(kLinkHoverColour));
  SendLeave(&label);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(kLinkColour));

  // Only a left click released over the label opens the page.
  SendMouse(&label, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton, Qt::NoButton);
  SendMouse(&label, QEvent::MouseButtonRelease, QPoint(500, 5), Qt::LeftButton, Qt::NoButton);
  EXPECT_TRUE(opened.empty());
  SendMouse(&label, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QUrl(kMakerWebAddress));
}

TEST_F(SkinTest, MessageDialogHoldsCaptionTextIconAndOneOkButton) {
  struct Case {
    const char* caption;
    const char* text;
    DialogIcon icon;
  };
  const Case cases[] = {
      {"Error", "No file selected !", DialogIcon::Stop},
      {"Information", "File created successfully !", DialogIcon::Information},
      {"Error",
       "A long message that does not fit on one line of the dialog box and has to be wrapped "
       "over several lines so that nothing of it is cut off !",
       DialogIcon::Stop},
  };
  for (const Case& c : cases) {
    SkinMessageDialog dialog(nullptr, c.caption, c.text, c.icon);
    EXPECT_EQ(dialog.frame()->caption(), c.caption);
    EXPECT_EQ(dialog.textLabel()->text(), c.text);
    EXPECT_EQ(dialog.icon(), c.icon);
    EXPECT_EQ(dialog.okButton()->text(), "OK");
    EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 1);
    // Everything lies inside the frame, below the title bar, and the text is not clipped.
    const QRect client = dialog.frame()->rect();
    EXPECT_TRUE(client.contains(dialog.okButton()->geometry()));
    EXPECT_TRUE(client.contains(dialog.textLabel()->geometry()));
    EXPECT_GE(dialog.textLabel()->y(), dialog.frame()->titleBarRect().bottom());
    EXPECT_GE(dialog.textLabel()->height(),
              dialog.textLabel()->heightForWidth(dialog.textLabel()->width()));
    EXPECT_LT(dialog.textLabel()->geometry().bottom(), dialog.okButton()->y());
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
  }
}

TEST_F(SkinTest, MessageDialogInterceptorReplacesTheModalBox) {
  std::vector<QString> seen;
  SkinMessageDialog::SetInterceptor([&seen](const QString& caption, const QString& text,
                                            DialogIcon) { seen.push_back(caption + "|" + text); });
  SkinMessageDialog::Show(nullptr, "Error", "File not exists !", DialogIcon::Stop);
  SkinMessageDialog::SetInterceptor(nullptr);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "Error|File not exists !");
}

}  // namespace
}  // namespace kv::ui
