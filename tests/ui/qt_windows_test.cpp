// Smoke tests of the forms on the Qt toolkit: the widgets sit where the layout puts them, with the
// skin's fonts, and the frame's close button closes the window.
#include <gtest/gtest.h>
#include "tests/ui/emulated_window.h"

#include <QLabel>

#include "app/forms/krellvane_msgbox.h"
#include "app/forms/splash.h"
#include "builder/forms/frmbuild.h"

namespace kv::test {
namespace {

struct Placement {
  const char* objectName;
  QRect rect;
};

void ExpectPlacements(QWidget& frame, std::initializer_list<Placement> table) {
  for (const Placement& p : table) {
    auto* widget = frame.findChild<QWidget*>(p.objectName);
    ASSERT_NE(widget, nullptr) << p.objectName;
    EXPECT_EQ(widget->parentWidget(), &frame) << p.objectName;
    EXPECT_EQ(widget->geometry(), p.rect) << p.objectName;
  }
}

class QtWindowsTest : public EmulatedWindowTest {};

TEST_F(QtWindowsTest, MainWindowWidgetsSitWhereTheLayoutPutsThem) {
  auto form = Open(Machine());
  EXPECT_EQ(form->size(), QSize(485, 391));
  EXPECT_EQ(form->window->windowTitle(), "KRELL-VANE v3.0.0");
  form->show();  // a hidden window's frame follows it when it is shown
  EXPECT_EQ(form->suiForm1->geometry(), form->rect()) << "the frame fills the window";
  ExpectPlacements(*form->suiForm1, {{"suiImageButton1", {6, 26, 95, 26}},
                                     {"cmdShowKV", {362, 41, 103, 25}},
                                     {"Label1", {12, 55, 45, 13}},
                                     {"lblStep1", {64, 55, 253, 13}},
                                     {"cboDrives", {56, 75, 409, 23}},
                                     {"Label3", {12, 107, 45, 13}},
                                     {"lblStep2", {64, 107, 325, 53}},
                                     {"cmdRefresh", {396, 111, 73, 49}},
                                     {"Label5", {12, 171, 45, 13}},
                                     {"lblStep3", {64, 171, 190, 13}},
                                     {"memTranslator", {8, 191, 459, 151}},
                                     {"lblCopyright", {84, 345, 310, 13}}});
  EXPECT_TRUE((form->cmdRefresh->focusPolicy() & Qt::TabFocus) != 0) << "in the tab order";
  EXPECT_TRUE(form->memTranslator->isReadOnly());
  EXPECT_FALSE(form->cboDrives->isEditable());
  EXPECT_EQ(form->cboDrives->font().pixelSize(), 12);
  EXPECT_TRUE(form->cboDrives->font().fixedPitch());
  auto* label1 = form->suiForm1->findChild<QLabel*>("Label1");
  ASSERT_NE(label1, nullptr);
  EXPECT_EQ(label1->font().pixelSize(), 11);
  EXPECT_TRUE(label1->font().bold());
  EXPECT_TRUE(label1->textFormat() == Qt::PlainText);
  EXPECT_TRUE(form->lblCopyright->font().underline());
  EXPECT_EQ(form->suiForm1->caption().toStdString(), form->form->GetWindow().Caption());
}

TEST_F(QtWindowsTest, SplashAndInformationBoxWidgets) {
  TfrmSplash splash(toolkit_, nullptr);
  QWidget& splashWindow = *ui::qt::WidgetOf(&splash.GetWindow());
  EXPECT_EQ(splashWindow.size(), QSize(248, 87));
  EXPECT_EQ(splashWindow.windowTitle(), "frmSplash");
  EXPECT_TRUE(splashWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  ui::SuiForm* splashFrame = ui::qt::FrameOf(&splash.GetWindow());
  EXPECT_EQ(splashFrame->geometry(), QRect(1, 1, 246, 85));
  EXPECT_FALSE(splashFrame->hasTitleBar());
  ExpectPlacements(*splashFrame, {{"Label1", {64, 36, 123, 13}}});

  TfrmKrellvaneMsgBox box(toolkit_, nullptr);
  auto* boxWindow = qobject_cast<QDialog*>(ui::qt::WidgetOf(&box.GetWindow()));
  ASSERT_NE(boxWindow, nullptr) << "a dialog";
  EXPECT_TRUE(boxWindow->isModal());
  ui::SuiForm* boxFrame = ui::qt::FrameOf(&box.GetWindow());
  EXPECT_EQ(boxFrame->caption(), "Krell-Vane");
  EXPECT_NE(boxFrame->titleButton(ui::SuiForm::kClose), nullptr);
  EXPECT_EQ(boxFrame->titleButton(ui::SuiForm::kMaximize), nullptr);
  EXPECT_EQ(boxFrame->titleButton(ui::SuiForm::kMinimize), nullptr);
  ExpectPlacements(*boxFrame, {{"cmdClose", {208, 392, 81, 21}},
                               {"lblKrellvane", {20, 40, 445, 341}},
                               {"Bevel1", {12, 36, 461, 349}}});
  auto* text = boxFrame->findChild<QLabel*>("lblKrellvane");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->wordWrap());
  EXPECT_EQ(text->text().toStdString(), box.lblKrellvane->Text());
}

TEST_F(QtWindowsTest, BuilderWindowOpensAndCloses) {
  TfrmBuildKV builder(toolkit_, nullptr);
  QWidget& window = *ui::qt::WidgetOf(&builder.GetWindow());
  window.show();
  QApplication::processEvents();
  EXPECT_TRUE(window.isVisible());
  auto* label = ui::qt::FrameOf(&builder.GetWindow())->findChild<QLabel*>("Label1");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->pos(), QPoint(8, 36));
  EXPECT_GT(label->width(), 0) << "sized to its text";
  builder.txtFile->SetText("/tmp/caf\xC3\xA9.txt");
  EXPECT_EQ(builder.txtFile->Text(), "/tmp/caf\xC3\xA9.txt") << "UTF-8 both ways";
  qobject_cast<QAbstractButton*>(ui::qt::WidgetOf(builder.cmdClose))->click();
  EXPECT_FALSE(window.isVisible());
}

TEST_F(QtWindowsTest, CloseButtonOfTheFrameClosesTheWindow) {
  auto form = Open(Machine());
  form->show();
  ASSERT_TRUE(form->isVisible());
  form->suiForm1->titleButton(ui::SuiForm::kClose)->click();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(QtWindowsTest, TheFormsOwnListChangesStayQuietAndUserPicksAreHeard) {
  auto form = Open(Machine());
  ASSERT_EQ(form->cboDrives->count(), 1);
  form->form->memTranslator->AppendLine("kept");
  form->form->cboDrives->SetItemIndex(0);
  EXPECT_EQ(form->form->memTranslator->Lines(), std::vector<std::string>{"kept"});
  form->cboDrives->setCurrentIndex(-1);
  form->cboDrives->setCurrentIndex(0);  // as the user's pick arrives
  EXPECT_TRUE(form->form->memTranslator->Lines().empty()) << "a pick clears the report";
}

}  // namespace
}  // namespace kv::test
