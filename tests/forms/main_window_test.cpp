// The main window's logic on the recording toolkit: start-up steps, the writer filter and
// DriveIndex, failed start-ups, the stored size, captions and texts, the information box and the
// builder, on emulated drives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/core/main_window_logic.h"
#include "app/forms/frmmain_layout.h"
#include "app/forms/krellvane_msgbox.h"
#include "app/forms/splash.h"
#include "drive/application_tag.h"
#include "media/property_block.h"
#include "media/settings.h"
#include "tests/forms/forms_fixture.h"

namespace kv::test {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public FormsTest {};

// Where `line` first appears in the log; the log's size when it is missing.
std::size_t At(const std::vector<std::string>& log, const std::string& line) {
  return static_cast<std::size_t>(std::find(log.begin(), log.end(), line) - log.begin());
}

TEST_F(MainWindowTest, ReaderIsLeftOutAndTheWriterIsSelected) {
  auto form =
      Open(Machine({Profile("orvelix-cdrom-reader.json"), Profile("orvelix-combo-cdrw.json")}));
  EXPECT_TRUE(boxes_.entries().empty());
  EXPECT_FALSE(form->TerminateRequested());
  EXPECT_EQ(GetApplicationTag(), 32767);
  ASSERT_EQ(form->cboDrives->Count(), 1);
  EXPECT_EQ(form->cboDrives->ItemIndex(), 0);
  EXPECT_EQ(form->DriveIndex[0], 1);
  for (std::size_t k = 1; k < form->DriveIndex.size(); ++k) {
    EXPECT_EQ(form->DriveIndex[k], -1) << k;
  }
  ASSERT_NE(form->Device, nullptr);
  EXPECT_EQ(form->Device->GetCurrentDrive(), 1);
  EXPECT_TRUE(form->memTranslator->Lines().empty());
}

TEST_F(MainWindowTest, OnlyAReaderGivesAnEmptyListAndNoSelection) {
  auto form = Open(Machine({Profile("orvelix-cdrom-reader.json")}));
  EXPECT_TRUE(boxes_.entries().empty());
  EXPECT_FALSE(form->TerminateRequested());
  EXPECT_EQ(form->cboDrives->Count(), 0);
  EXPECT_EQ(form->cboDrives->ItemIndex(), -1);
  for (int32_t slot : form->DriveIndex) {
    EXPECT_EQ(slot, -1);
  }
  // The "?" button on no selection runs without a drive record and ends quietly, not busy.
  form->cmdRefreshClick();
  EXPECT_FALSE(WindowOf(*form).busy());
  EXPECT_TRUE(form->cmdRefresh->Enabled());
}

TEST_F(MainWindowTest, StartUpStepsComeInTheirOrder) {
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  const std::vector<std::string>& log = toolkit_.log();
  const std::size_t made = At(log, "create frmMain");
  const std::size_t splash = At(log, "create frmSplash");
  const std::size_t painted = At(log, "painted frmSplash");
  const std::size_t gone = At(log, "destroy frmSplash");
  ASSERT_LT(made, log.size());
  EXPECT_LT(made, splash) << "the window exists before its splash";
  EXPECT_LT(splash, painted);
  EXPECT_LT(painted, gone);
  ASSERT_LT(gone, log.size()) << "the splash goes at the end of start-up";
  EXPECT_EQ(toolkit_.Find("frmSplash"), nullptr);
  EXPECT_EQ(form->Splash(), nullptr);
  EXPECT_EQ(At(log, "show frmMain"), log.size()) << "the process entry shows the window";
  EXPECT_FALSE(form->GetWindow().IsMaximized()) << "it settles in its normal state";
}

TEST_F(MainWindowTest, SplashIsPaintedBeforeTheDrivesAreQuestioned) {
  auto owned = Machine({Profile("orvelix-dvdrw-blank-cdr.json")});
  emu::EmulatedPlatform* machine = owned.get();
  std::size_t commandsBefore = 1;
  std::size_t eventsBefore = 1;
  bool painted = false;
  bool visible = false;
  MainWindowServices services = Services();
  services.splashShown = [&](TfrmSplash& splash) {
    painted = splash.TextPainted();
    visible = splash.GetWindow().IsVisible();
    commandsBefore = machine->CdbLog().size();
    eventsBefore = machine->DeviceEvents().size();
  };
  TfrmMain form(std::move(owned), services);
  EXPECT_TRUE(painted);
  EXPECT_TRUE(visible);
  EXPECT_EQ(commandsBefore, 0u);
  EXPECT_EQ(eventsBefore, 0u);
  EXPECT_FALSE(machine->CdbLog().empty()) << "the drives were questioned afterwards";
}

TEST_F(MainWindowTest, ASplashThatNeverReachesTheScreenDoesNotHoldTheStart) {
  toolkit_.displayPaints = false;
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  EXPECT_FALSE(form->TerminateRequested());
  EXPECT_EQ(form->cboDrives->Count(), 1);
  EXPECT_EQ(toolkit_.Find("frmSplash"), nullptr);
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
  EXPECT_EQ(form->cboDrives->Count(), 0);
  // The splash was hidden before the box (it stays on top) and is gone either way.
  const std::vector<std::string>& log = toolkit_.log();
  EXPECT_LT(At(log, "hide frmSplash"), log.size());
  EXPECT_EQ(toolkit_.Find("frmSplash"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartFailureTest,
    ::testing::Values(FailureCase{"NoPlatform", false, "Unable to create Device Object !", false},
                      FailureCase{"NoDrive", true, "No drive detected !", true}),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
  const char* name;
  const char* settings;
  ui::Size expected;
};

class StoredSizeTest : public MainWindowTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(StoredSizeTest, OpensAtTheStoredOrTheDesignSize) {
  WriteSettings(GetParam().settings);
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  EXPECT_EQ(form->GetWindow().GetSize(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredSizeTest,
    ::testing::Values(
        SizeCase{"Absent", "", {485, 391}},
        SizeCase{"WidthZero", "[Krellvane]\nWidth=0\nHeight=0\n", {485, 391}},
        SizeCase{"Negative", "[Krellvane]\nWidth=-800\nHeight=-1\n", {485, 391}},
        SizeCase{"NotANumber", "[Krellvane]\nWidth=wide\nHeight=600\n", {485, 600}},
        SizeCase{"Stored", "[Krellvane]\nWidth=800\nHeight=600\n", {800, 600}},
        SizeCase{"NarrowerThanTheMinimum", "[Krellvane]\nWidth=40\nHeight=300\n", {130, 300}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClosingCase {
  const char* name;
  ui::Size resized;
  bool maximised;
  ui::Size stored;
};

class ClosingSizeTest : public MainWindowTest, public ::testing::WithParamInterface<ClosingCase> {};

TEST_P(ClosingSizeTest, StoresTheNormalSizeWhenTheWindowCloses) {
  const ClosingCase& c = GetParam();
  {
    auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
    form->GetWindow().Resize(c.resized);
    if (c.maximised) {
      form->GetWindow().Maximize();
      ASSERT_EQ(form->GetWindow().GetSize(), toolkit_.screen);
    }
  }
  int32_t width = 0;
  int32_t height = 0;
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Width", width));
  ASSERT_TRUE(ReadRegInt(kSettingsKey, "Height", height));
  EXPECT_EQ(width, c.stored.width);
  EXPECT_EQ(height, c.stored.height);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClosingSizeTest,
                         ::testing::Values(ClosingCase{"Normal", {640, 480}, false, {640, 480}},
                                           ClosingCase{"Maximised", {640, 480}, true, {640, 480}}),
                         [](const auto& info) { return std::string(info.param.name); });

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
  EXPECT_EQ(form->GetWindow().Title(), "KRELL-VANE v3.0.0");
  EXPECT_EQ(form->GetWindow().Caption(), FormatTitle(Block()));
  EXPECT_EQ(form->lblStep1->Text(), FieldText(Block().Step1));
  EXPECT_EQ(form->lblStep2->Text(), FieldText(Block().Step2));
  EXPECT_EQ(form->lblStep3->Text(), FieldText(Block().Step3));
  EXPECT_EQ(form->lblCopyright->Text(), FieldText(Block().Copyright));
  EXPECT_EQ(form->Label1->Text(), "Step1 :");
  EXPECT_EQ(form->Label3->Text(), "Step2 :");
  EXPECT_EQ(form->Label5->Text(), "Step3 :");
  EXPECT_EQ(form->cmdShowKV->Text(), "KRELL-VANE");
}

struct Placement {
  const char* name;
  ui::Rect rect;
  const char* family;
  int points;
  bool bold;
};

void ExpectPlacements(const FakeWindow& window, std::initializer_list<Placement> table) {
  ASSERT_EQ(window.controls().size(), table.size()) << window.Name();
  for (const Placement& p : table) {
    const FakeControlState* control = window.Find(p.name);
    ASSERT_NE(control, nullptr) << p.name;
    EXPECT_EQ(dynamic_cast<const ui::Control&>(*control).Bounds(), p.rect) << p.name;
    EXPECT_STREQ(control->font().family, p.family) << p.name;
    EXPECT_EQ(control->font().points, p.points) << p.name;
    EXPECT_EQ(control->font().bold, p.bold) << p.name;
  }
}

TEST_F(MainWindowTest, ControlsSitWhereTheLayoutPutsThem) {
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  FakeWindow& window = WindowOf(*form);
  EXPECT_EQ(window.setup().role, ui::WindowRole::Main);
  EXPECT_EQ(window.setup().titleButtons, ui::kAllButtons);
  EXPECT_TRUE(window.setup().frameFillsWindow);
  EXPECT_EQ(window.setup().minimumWidth, 130);
  const char* ms = ui::kMsSansSerif;
  ExpectPlacements(window, {{"suiImageButton1", {6, 26, 95, 26}, ms, 8, false},
                            {"cmdShowKV", {362, 41, 103, 25}, ui::kVerdana, 9, true},
                            {"Label1", {12, 55, 45, 13}, ui::kVerdana, 8, true},
                            {"lblStep1", {64, 55, 253, 13}, ui::kVerdana, 8, false},
                            {"cboDrives", {56, 75, 409, 23}, ui::kCourierNew, 9, false},
                            {"Label3", {12, 107, 45, 13}, ui::kVerdana, 8, true},
                            {"lblStep2", {64, 107, 325, 53}, ui::kVerdana, 8, false},
                            {"cmdRefresh", {396, 111, 73, 49}, ms, 8, false},
                            {"Label5", {12, 171, 45, 13}, ui::kVerdana, 8, true},
                            {"lblStep3", {64, 171, 190, 13}, ui::kVerdana, 8, false},
                            {"memTranslator", {8, 191, 459, 151}, ui::kCourierNew, 9, false},
                            {"lblCopyright", {84, 345, 310, 13}, ui::kVerdana, 8, false}});
  EXPECT_EQ(window.Find("cmdShowKV")->colour(), ui::kRed);
  EXPECT_EQ(window.Find("Label1")->colour(), ui::kNavy);
  EXPECT_TRUE(window.Find("lblCopyright")->font().underline);
  EXPECT_TRUE(AsFake<FakeLabel>(form->lblStep2).wordWrap());
  EXPECT_FALSE(AsFake<FakeLabel>(form->lblStep1).wordWrap());
  EXPECT_EQ(AsFake<FakeDropDown>(form->cboDrives).itemHeight(), 15);
  EXPECT_EQ(AsFake<FakePictureButton>(form->cmdRefresh).kind(), ui::PictureKind::Question);
  EXPECT_EQ(AsFake<FakePicture>(form->suiImageButton1).kind(), ui::PictureKind::Logo);
}

TEST_F(MainWindowTest, KeyboardPathLeadsFromTheListToTheCheck) {
  auto form = Open(Machine({Profile("orvelix-dvdrw-blank-cdr.json")}));
  FakeWindow& window = WindowOf(*form);
  const std::vector<ui::Control*> expected = {form->cboDrives, form->cmdRefresh,
                                              form->memTranslator, form->cmdShowKV};
  EXPECT_EQ(window.tabOrder(), expected);
  EXPECT_TRUE(form->cboDrives->HasFocus()) << "the window opens on the drive list";
  window.PressTab();
  ASSERT_TRUE(form->cmdRefresh->HasFocus());
  EXPECT_EQ(form->cmdRefresh->State(), ui::PictureState::MouseOver) << "focus shown by picture";
  ASSERT_TRUE(window.PressKey(ui::Key::F5));
  EXPECT_FALSE(form->memTranslator->Lines().empty()) << "F5 ran the check";
  EXPECT_TRUE(form->cmdRefresh->HasFocus()) << "the focus comes back after the check";
}

TEST_F(MainWindowTest, EachInformationClickBuildsAFreshBoxWithTheSameText) {
  std::vector<std::string> texts;
  onModal_ = [&texts](ui::Form& form) {
    auto* box = dynamic_cast<TfrmKrellvaneMsgBox*>(&form);
    ASSERT_NE(box, nullptr);
    texts.push_back(box->lblKrellvane->Text());
  };
  auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
  AsFake<FakePushButton>(form->cmdShowKV).UserClick();
  AsFake<FakePushButton>(form->cmdShowKV).UserClick();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], texts[1]);
  EXPECT_EQ(texts[0], ComposeInformationText(Block()));
  EXPECT_EQ(texts[0].rfind("Release Date : ", 0), 0u);
  EXPECT_EQ(toolkit_.Find("frmKrellvaneMsgBox"), nullptr) << "boxes are destroyed";
}

TEST_F(MainWindowTest, InformationBoxLayoutAndClose) {
  TfrmKrellvaneMsgBox box(toolkit_, nullptr);
  auto& window = dynamic_cast<FakeWindow&>(box.GetWindow());
  EXPECT_EQ(window.GetSize(), (ui::Size{486, 420}));
  EXPECT_EQ(window.Title(), "Krell-Vane");
  EXPECT_EQ(window.Caption(), "Krell-Vane");
  EXPECT_EQ(window.setup().role, ui::WindowRole::Dialog);
  EXPECT_EQ(window.setup().titleButtons, ui::kClose);
  EXPECT_EQ(window.setup().placement, ui::Placement::CentreOfOwner);
  ExpectPlacements(window, {{"Bevel1", {12, 36, 461, 349}, ui::kMsSansSerif, 8, false},
                            {"lblKrellvane", {20, 40, 445, 341}, ui::kCourierNew, 9, false},
                            {"cmdClose", {208, 392, 81, 21}, ui::kVerdana, 8, true}});
  EXPECT_TRUE(AsFake<FakeLabel>(box.lblKrellvane).wordWrap());
  EXPECT_EQ(box.cmdClose->Text(), "Close");
  window.Show();
  AsFake<FakePushButton>(box.cmdClose).UserClick();
  EXPECT_FALSE(window.IsVisible());
}

TEST_F(MainWindowTest, SplashLayout) {
  TfrmSplash splash(toolkit_, nullptr);
  auto& window = dynamic_cast<FakeWindow&>(splash.GetWindow());
  EXPECT_EQ(window.GetSize(), (ui::Size{248, 87}));
  EXPECT_EQ(window.Title(), "frmSplash");
  EXPECT_EQ(window.setup().role, ui::WindowRole::Splash);
  EXPECT_FALSE(window.setup().titleBar);
  EXPECT_EQ(window.FrameBounds(), (ui::Rect{1, 1, 246, 85}));
  ExpectPlacements(window, {{"Label1", {64, 36, 123, 13}, ui::kVerdana, 8, true}});
  EXPECT_EQ(splash.Label1->Text(), "Querying Device ...");
  EXPECT_FALSE(splash.TextPainted()) << "not before it is shown";
}

TEST_F(MainWindowTest, MediaCheckIsBusyOnceAndPicksTheSelectedDrive) {
  auto form = Open(
      Machine({Profile("orvelix-cdrom-reader.json"), Profile("orvelix-dvdrw-blank-cdr.json")}));
  ASSERT_EQ(form->cboDrives->Count(), 1);
  AsFake<FakePictureButton>(form->cmdRefresh).UserClick();
  EXPECT_EQ(WindowOf(*form).timesBusy(), 1);
  EXPECT_FALSE(WindowOf(*form).busy());
  EXPECT_EQ(form->Device->GetCurrentDrive(), 1);
  EXPECT_FALSE(form->memTranslator->Lines().empty());
  // Picking the line again clears the report.
  ASSERT_TRUE(AsFake<FakeDropDown>(form->cboDrives).UserPick(0));
  EXPECT_TRUE(form->memTranslator->Lines().empty());
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
  EXPECT_EQ(toolkit_.Find("frmSplash"), nullptr);
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

// A stand-in for the builder: only its window matters here.
class MadeBuilder : public ui::Form {
 public:
  MadeBuilder(ui::Toolkit& toolkit, ui::Window* owner) {
    ui::WindowSetup setup;
    setup.name = "madeBuilder";
    window_ = toolkit.MakeWindow(setup, owner);
  }
  ui::Window& GetWindow() override { return *window_; }

 private:
  std::unique_ptr<ui::Window> window_;
};

TEST_F(MainWindowTest, BuilderWindowComesFromTheServices) {
  const struct {
    const char* name;
    bool factory;
    std::vector<std::string> modal;
  } cases[] = {
      {"with a factory", true, {"madeBuilder"}},
      {"without one", false, {}},
  };
  for (const auto& c : cases) {
    modal_.clear();
    ui::Window* owner = nullptr;
    makeBuilder_ = nullptr;
    if (c.factory) {
      makeBuilder_ = [this, &owner](ui::Window* parent) {
        owner = parent;
        return std::make_unique<MadeBuilder>(toolkit_, parent);
      };
    }
    auto form = Open(Machine({Profile("orvelix-combo-cdrw.json")}));
    EXPECT_TRUE(modal_.empty()) << c.name << ": only build mode starts the builder";
    form->ShowBuilder();
    EXPECT_EQ(modal_, c.modal) << c.name;
    EXPECT_EQ(owner, c.factory ? &form->GetWindow() : nullptr) << c.name;
    EXPECT_EQ(toolkit_.Find("madeBuilder"), nullptr) << c.name << ": destroyed on close";
  }
}

}  // namespace
}  // namespace kv::test
