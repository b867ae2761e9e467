// The main window, the splash and the information box offscreen, on emulated drives, with the
// message boxes recorded instead of shown.
#include <gtest/gtest.h>
#include "tests/ui/test_application.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/core/main_window_logic.h"
#include "app/forms/frmmain.h"
#include "app/forms/krellvane_msgbox.h"
#include "app/forms/splash.h"
#include "drive/application_tag.h"
#include "drive/platform/emulated/emulated_platform.h"
#include "media/property_block.h"
#include "media/settings.h"
#include "ui/message_boxes.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

QApplication& MainWindowApp() {
  return test::TestApplication();
}

std::string Profile(const char* file) {
  return std::string(KV_PROFILE_DIR) + "/" + file;
}

std::unique_ptr<Platform> Machine(std::vector<std::string> profiles) {
  std::string error;
  std::unique_ptr<emu::EmulatedPlatform> machine = emu::CreateEmulatedMachine(profiles, error);
  EXPECT_NE(machine, nullptr) << error;
  return machine;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MainWindowApp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    settings_ = fs::temp_directory_path() / (std::string("kv-main-window-") +
                                             info->test_suite_name() + "-" + info->name() + ".ini");
    fs::remove(settings_);
    previous_ = std::getenv("KRELLVANE_SETTINGS") ? std::getenv("KRELLVANE_SETTINGS") : "";
    setenv("KRELLVANE_SETTINGS", settings_.c_str(), 1);
  }
  void TearDown() override {
    fs::remove(settings_);
    setenv("KRELLVANE_SETTINGS", previous_.c_str(), 1);
  }
  void WriteSettings(const std::string& text) {
    std::ofstream out(settings_);
    out << text;
  }
  std::unique_ptr<TfrmMain> Open(std::unique_ptr<Platform> platform) {
    MainWindowServices services;
    services.boxes = &boxes_;
    services.runModal = [this](QDialog& dialog) {
      modalDialogs_.push_back(dialog.objectName());
      if (auto* box = qobject_cast<TfrmKrellvaneMsgBox*>(&dialog)) {
        informationTexts_.push_back(box->lblKrellvane->text());
      }
      return 0;
    };
    services.makeBuilder = makeBuilder_;
    return std::make_unique<TfrmMain>(std::move(platform), services);
  }

  fs::path settings_;
  std::string previous_;
  ui::RecordingMessageBoxes boxes_;
  QStringList modalDialogs_;
  QStringList informationTexts_;
  std::function<std::unique_ptr<QDialog>(QWidget*)> makeBuilder_;
};

TEST_F(MainWindowTest, ReaderIsLeftOutAndTheWriterIsSelected) {
  auto form =
      Open(Machine({Profile("orvelix-cdrom-reader.json"), Profile("orvelix-combo-cdrw.json")}));
  EXPECT_TRUE(boxes_.entries().empty());
  EXPECT_FALSE(form->TerminateRequested());
  EXPECT_EQ(GetApplicationTag(), 32767);
  ASSERT_EQ(form->cboDrives->count(), 1);
  EXPECT_EQ(form->cboDrives->currentIndex(), 0);
  EXPECT_EQ(form->DriveIndex[0], 1);
  for (std::size_t k = 1; k < form->DriveIndex.size(); ++k) {
    EXPECT_EQ(form->DriveIndex[k], -1) << k;
  }
  ASSERT_NE(form->Device, nullptr);
  EXPECT_EQ(form->Device->GetCurrentDrive(), 1);
  EXPECT_TRUE(form->memTranslator->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, OnlyAReaderGivesAnEmptyListAndNoSelection) {
  auto form = Open(Machine({Profile("orvelix-cdrom-reader.json")}));
  EXPECT_TRUE(boxes_.entries().empty());
  EXPECT_FALSE(form->TerminateRequested());
  EXPECT_EQ(form->cboDrives->count(), 0);
  EXPECT_EQ(form->cboDrives->currentIndex(), -1);
  for (int32_t slot : form->DriveIndex) {
    EXPECT_EQ(slot, -1);
  }
  // The "?" button on no selection runs without a drive record and ends quietly.
  form->cmdRefreshClick(nullptr);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

struct FailureCase {
  const char* name;
  bool withPlatform;  // false: the platform could not be created
  const char* message;
  bool deviceKept;
};

class StartFailureTest : public MainWindowTest,
                         public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartFailureTest, ShowsTheMessageAndTerminates) {
  const FailureCase& c = GetParam();
  std::unique_ptr<Platform> platform;
  if (c.withPlatform) {
    platform = std::make_unique<emu::EmulatedPlatform>();  // a machine without drives
  }
  auto form = Open(std::move(platform));
  ASSERT_EQ(boxes_.entries().size(), 1u);
  EXPECT_EQ(boxes_.entries()[0].caption, "Error ...");
  EXPECT_EQ(boxes_.entries()[0].text, c.message);
  EXPECT_TRUE(form->TerminateRequested());
  EXPECT_EQ(form->Device != nullptr, c.deviceKept);
  EXPECT_EQ(form->cboDrives->count(), 0);
  // The splash is gone either way.
  EXPECT_EQ(form->findChild<TfrmSplash*>(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartFailureTest,
    ::testing::Values(FailureCase{"NoPlatform", false, "Unable to create Device Object !", false},
                      FailureCase{"NoDrive", true, "No drive detected !", true}),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
  const char* name;
  const char* settings;
  QSize expected;
};

class StoredSizeTest : public MainWindowTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(StoredSizeTest, OpensAtTheStoredOrTheDesignSize) {
  WriteSettings(GetParam().settings);
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  EXPECT_EQ(form->size(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredSizeTest,
    ::testing::Values(SizeCase{"Absent", "", QSize(485, 391)},
                      SizeCase{"WidthZero", "[Krellvane]\nWidth=0\nHeight=0\n", QSize(485, 391)},
                      SizeCase{"Negative", "[Krellvane]\nWidth=-800\nHeight=-1\n", QSize(485, 391)},
                      SizeCase{"NotANumber", "[Krellvane]\nWidth=wide\nHeight=600\n",
                               QSize(485, 600)},
                      SizeCase{"Stored", "[Krellvane]\nWidth=800\nHeight=600\n", QSize(800, 600)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, SizeIsStoredWhenTheWindowCloses) {
  {
    auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
    form->resize(640, 480);
  }
  int32_t width = 0;
  int32_t height = 0;
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Width", width));
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Height", height));
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}

TEST_F(MainWindowTest, FailedStartStillStoresTheDesignSize) {
  { auto form = Open(nullptr); }
  int32_t width = 0;
  int32_t height = 0;
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Width", width));
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Height", height));
  EXPECT_EQ(width, 485);
  EXPECT_EQ(height, 391);
}

TEST_F(MainWindowTest, CaptionsAndTexts) {
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  EXPECT_EQ(form->windowTitle(), "KRELL-VANE v3.0.0");
  EXPECT_EQ(form->suiForm1->caption().toStdString(), FormatTitle(Block()));
  EXPECT_EQ(form->lblStep1->text().toStdString(), FieldText(Block().Step1));
  EXPECT_EQ(form->lblStep2->text().toStdString(), FieldText(Block().Step2));
  EXPECT_EQ(form->lblStep3->text().toStdString(), FieldText(Block().Step3));
  EXPECT_EQ(form->lblCopyright->text().toStdString(), FieldText(Block().Copyright));
  EXPECT_EQ(form->Label1->text(), "Step1 :");
  EXPECT_EQ(form->Label3->text(), "Step2 :");
  EXPECT_EQ(form->Label5->text(), "Step3 :");
  EXPECT_EQ(form->cmdShowKV->text(), "KRELL-VANE");
}

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

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  EXPECT_EQ(form->size(), QSize(485, 391));
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
  EXPECT_EQ(form->Label1->font().pixelSize(), 11);
  EXPECT_TRUE(form->Label1->font().bold());
  EXPECT_TRUE(form->lblCopyright->font().underline());
}

TEST_F(MainWindowTest, SplashAndInformationBoxLayouts) {
  TfrmSplash splash(nullptr);
  EXPECT_EQ(splash.size(), QSize(248, 87));
  EXPECT_EQ(splash.windowTitle(), "frmSplash");
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(splash.suiForm1->geometry(), QRect(1, 1, 246, 85));
  EXPECT_FALSE(splash.suiForm1->hasTitleBar());
  ExpectPlacements(*splash.suiForm1, {{"Label1", {64, 36, 123, 13}}});
  EXPECT_EQ(splash.Label1->text(), "Querying Device ...");

  TfrmKrellvaneMsgBox box(nullptr);
  EXPECT_EQ(box.size(), QSize(486, 420));
  EXPECT_EQ(box.windowTitle(), "Krell-Vane");
  box.show();
  EXPECT_EQ(box.suiForm1->geometry(), box.rect()) << "the frame fills the box";
  box.hide();
  EXPECT_EQ(box.suiForm1->caption(), "Krell-Vane");
  EXPECT_NE(box.suiForm1->titleButton(ui::SuiForm::kClose), nullptr);
  EXPECT_EQ(box.suiForm1->titleButton(ui::SuiForm::kMaximize), nullptr);
  EXPECT_EQ(box.suiForm1->titleButton(ui::SuiForm::kMinimize), nullptr);
  ExpectPlacements(*box.suiForm1, {{"cmdClose", {208, 392, 81, 21}},
                                   {"lblKrellvane", {20, 40, 445, 341}},
                                   {"Bevel1", {12, 36, 461, 349}}});
  EXPECT_EQ(box.cmdClose->text(), "Close");
  EXPECT_TRUE(box.lblKrellvane->wordWrap());
}

TEST_F(MainWindowTest, EachInformationClickBuildsAFreshBoxWithTheSameText) {
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  form->cmdShowKV->click();
  form->cmdShowKV->click();
  ASSERT_EQ(informationTexts_.size(), 2);
  EXPECT_EQ(informationTexts_[0], informationTexts_[1]);
  EXPECT_EQ(informationTexts_[0].toStdString(), ComposeInformationText(Block()));
  EXPECT_TRUE(informationTexts_[0].startsWith("Release Date : "));
  EXPECT_EQ(form->findChildren<TfrmKrellvaneMsgBox*>().size(), 0) << "boxes are destroyed";
}

TEST_F(MainWindowTest, MediaCheckRestoresTheCursorAndPicksTheSelectedDrive) {
  auto form = Open(
      Machine({Profile("orvelix-cdrom-reader.json"), Profile("orvelix-dvdrw-blank-cdr.json")}));
  ASSERT_EQ(form->cboDrives->count(), 1);
  form->cmdRefresh->click();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(form->Device->GetCurrentDrive(), 1);
  // Picking the line again clears the report.
  form->cboDrivesChange(form->cboDrives);
  EXPECT_TRUE(form->memTranslator->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, DatabaseConversionErrorIsShownAndStartUpGoesOn) {
  const fs::path database = settings_.string() + ".media.txt";
  {
    std::ofstream out(database);
    out << "[CD]\n971510_795959=Good Maker\n[DVD]\n4D43432030335247ZZ3000FF=Bad Maker\n";
  }
  WriteSettings("[Krellvane]\nUserDefinedFule=" + database.string() + "\n");
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  fs::remove(database);
  ASSERT_EQ(boxes_.entries().size(), 1u);
  EXPECT_EQ(boxes_.entries()[0].caption, "Krellvane");
  EXPECT_EQ(boxes_.entries()[0].text, "'0xZZ' is not a valid integer value");
  EXPECT_FALSE(form->TerminateRequested());
  EXPECT_EQ(form->UserCdList.size(), 1u) << "records before the bad line stay";
  EXPECT_TRUE(form->UserDvdList.empty());
  EXPECT_EQ(form->findChild<TfrmSplash*>(), nullptr);
}

TEST_F(MainWindowTest, ManagerLoadFailureIsAWindowMessageBox) {
  auto machine = std::make_unique<emu::EmulatedPlatform>();
  machine->AddDrive(emu::DriveProfile{});
  machine->SetNtFamily(false);  // the manager is the only way to the drives
  machine->SetAspiLoadOutcome(AspiLoadResult::Outcome::ModuleNotFound);
  auto form = Open(std::move(machine));
  ASSERT_EQ(boxes_.entries().size(), 2u);
  EXPECT_EQ(boxes_.entries()[0].caption, "Error FS 002");
  EXPECT_EQ(boxes_.entries()[0].text, "LoadLibrary:\nWNASPI32.DLL not found.");
  EXPECT_EQ(boxes_.entries()[1].text, "No drive detected !");
  EXPECT_TRUE(form->TerminateRequested());
}

TEST_F(MainWindowTest, BuilderWindowComesFromTheServices) {
  const struct {
    const char* name;
    bool factory;
    QStringList modal;
  } cases[] = {
      {"with a factory", true, {"madeBuilder"}},
      {"without one", false, {}},
  };
  for (const auto& c : cases) {
    modalDialogs_.clear();
    QWidget* owner = nullptr;
    makeBuilder_ = nullptr;
    if (c.factory) {
      makeBuilder_ = [&owner](QWidget* parent) {
        owner = parent;
        auto dialog = std::make_unique<QDialog>(parent);
        dialog->setObjectName("madeBuilder");
        return dialog;
      };
    }
    auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
    EXPECT_TRUE(modalDialogs_.isEmpty()) << c.name << ": only build mode starts the builder";
    form->ShowBuilder();
    EXPECT_EQ(modalDialogs_, c.modal) << c.name;
    EXPECT_EQ(owner, c.factory ? form.get() : nullptr) << c.name;
    EXPECT_EQ(form->findChild<QDialog*>("madeBuilder"), nullptr)
        << c.name << ": destroyed on close";
  }
}

TEST_F(MainWindowTest, CloseButtonOfTheFrameClosesTheWindow) {
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  form->show();
  ASSERT_TRUE(form->isVisible());
  form->suiForm1->titleButton(ui::SuiForm::kClose)->click();
  EXPECT_FALSE(form->isVisible());
}

}  // namespace
}  // namespace kv
