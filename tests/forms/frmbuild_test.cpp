// The builder window on the recording toolkit, with pre-answered dialogs and a synthetic prototype.
#include <gtest/gtest.h>

#include <optional>

#include "builder/builder_test_support.h"
#include "builder/forms/frmbuild.h"
#include "builder/output_file.h"
#include "tests/support/fake_toolkit.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

struct Shown {
  std::string kind;  // "message" or "error"
  std::string caption;
  std::string text;
  ui::DialogIcon icon = ui::DialogIcon::Information;
  bool buildEnabled = true;  // cmdBuild's state while the box was up
};

class BuilderWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::vector<uint8_t> image = test::PrototypeImage();
    test::WriteText(folder_ / "prototype", std::string(image.begin(), image.end()));
    test::WriteText(folder_ / "params.txt", "[PROPERTY]\nNAME=From window\n");
    test::WriteText(folder_ / "bad.txt", "[DVD]\nQQ0000000000000000000000=Bad\n");
  }

  std::unique_ptr<TfrmBuildKV> Window(std::optional<std::string> choice = std::nullopt) {
    toolkit_.fileAnswers = {choice};
    auto window = std::make_unique<TfrmBuildKV>(
        toolkit_, nullptr,
        BuildOptions{(folder_ / "prototype").string(), test::kTestMarker, folder_.path()});
    TfrmBuildKV* raw = window.get();
    toolkit_.whileDialogUp = [this, raw] {
      const test::FakeToolkit::Dialog& last = toolkit_.dialogs().back();
      shown_.push_back({last.icon ? "message" : "error", last.icon ? last.caption : "", last.text,
                        last.icon.value_or(ui::DialogIcon::Stop), raw->cmdBuild->Enabled()});
    };
    return window;
  }

  std::string InFolder(const std::string& name) const { return (folder_ / name).string(); }

  test::TempFolder folder_;
  test::FakeToolkit toolkit_;
  std::vector<Shown> shown_;
};

struct ClickCase {
  const char* name;
  std::string file;  // "@x" is x in the temp folder
  std::string kind;
  std::string caption;
  std::string text;
  ui::DialogIcon icon;
  bool writes;
};

class BuildClickTest : public BuilderWindowTest, public testing::WithParamInterface<ClickCase> {};

TEST_P(BuildClickTest, ShowsOneBoxAndEnablesBuildAgain) {
  auto window = Window();
  std::string file = GetParam().file;
  if (!file.empty() && file[0] == '@') {
    file = "  " + (folder_ / file.substr(1)).string() + " ";
  }
  window->txtFile->SetText(file);
  test::AsFake<test::FakePushButton>(window->cmdBuild).UserClick();

  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].kind, GetParam().kind);
  if (GetParam().kind == "message") {
    EXPECT_EQ(shown_[0].caption, GetParam().caption);
    EXPECT_EQ(shown_[0].icon, GetParam().icon);
  }
  EXPECT_EQ(shown_[0].text, GetParam().text);
  EXPECT_FALSE(shown_[0].buildEnabled) << "Build stays disabled while the build runs";
  EXPECT_TRUE(window->cmdBuild->Enabled());
  EXPECT_EQ(fs::exists(folder_ / kOutputFileName), GetParam().writes);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, BuildClickTest,
    testing::Values(ClickCase{"EmptyPath", "", "message", "Error", "No file selected !",
                              ui::DialogIcon::Stop, false},
                    ClickCase{"BlankPath", "   ", "message", "Error", "No file selected !",
                              ui::DialogIcon::Stop, false},
                    ClickCase{"MissingFile", "@missing.txt", "message", "Error",
                              "File not exists !", ui::DialogIcon::Stop, false},
                    ClickCase{"ConversionError", "@bad.txt", "error", "",
                              "'0xQQ' is not a valid integer value", ui::DialogIcon::Stop, false},
                    ClickCase{"Success", "@params.txt", "message", "Information",
                              "File created successfully !", ui::DialogIcon::Information, true}),
    [](const testing::TestParamInfo<ClickCase>& info) { return std::string(info.param.name); });

TEST_F(BuilderWindowTest, ErrorThenSuccessFromSameWindow) {
  auto window = Window();
  window->cmdBuild->Click();
  window->txtFile->SetText(InFolder("params.txt"));
  window->cmdBuild->Click();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].text, "File created successfully !");
  const auto block = test::BlockAt(test::ReadBytes(folder_ / kOutputFileName), 4097);
  EXPECT_EQ(test::FieldText(block->Name), "From window");
  EXPECT_EQ(block->BuildMode[10], '0');
}

// The window's text is UTF-8; the build opens the name the system's file calls take, and a reason
// the system gave for a failed write is shown as window text.
TEST_F(BuilderWindowTest, NamesAndReasonsCrossInTheSystemsEncoding) {
  const std::string typed = "caf\xC3\xA9.txt";
  toolkit_.fileNames = [this, typed](const std::string& text) {
    return text == typed ? InFolder("params.txt") : text;
  };
  toolkit_.systemTexts = [](const std::string& message) { return "<" + message + ">"; };
  auto window = Window();
  window->txtFile->SetText(typed);
  window->cmdBuild->Click();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "<File created successfully !>");

  fs::remove(folder_ / kOutputFileName);
  fs::create_directory(folder_ / kOutputFileName);
  window->cmdBuild->Click();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].text.rfind("<Unable to write", 0), 0u) << shown_[1].text;
  EXPECT_EQ(shown_[1].text.back(), '>');
}

TEST_F(BuilderWindowTest, BrowseFillsPathOnlyWhenConfirmed) {
  auto cancelled = Window();
  cancelled->txtFile->SetText("kept");
  cancelled->cmdBrowse->Click();
  EXPECT_EQ(cancelled->txtFile->Text(), "kept");

  auto chosen = Window(InFolder("params.txt"));
  chosen->cmdBrowse->Click();
  EXPECT_EQ(chosen->txtFile->Text(), InFolder("params.txt"));
  EXPECT_TRUE(toolkit_.dialogs().empty()) << "browsing shows no box";
}

TEST_F(BuilderWindowTest, CloseHidesAndDestroyReleasesImage) {
  auto window = Window();
  window->GetWindow().Show();
  window->txtFile->SetText(InFolder("params.txt"));
  window->cmdBuild->Click();
  EXPECT_GT(window->session().PrototypeSize(), 0u);
  window->cmdClose->Click();
  EXPECT_FALSE(window->GetWindow().IsVisible());
  window->FormDestroy();
  EXPECT_EQ(window->session().PrototypeSize(), 0u);
  EXPECT_TRUE(window->session().PrototypeImage().empty());
}

TEST_F(BuilderWindowTest, WindowLayout) {
  auto window = Window();
  auto& fake = dynamic_cast<test::FakeWindow&>(window->GetWindow());
  EXPECT_EQ(fake.GetSize(), (ui::Size{454, 123}));
  EXPECT_TRUE(fake.setup().fixedSize);
  EXPECT_EQ(fake.setup().role, ui::WindowRole::Dialog);
  EXPECT_EQ(fake.setup().titleButtons, ui::kClose);
  EXPECT_EQ(fake.Title(), "Krell-Vane Builder");
  EXPECT_EQ(fake.Caption(), "Krell-Vane Builder");
  const struct {
    const char* name;
    ui::Rect rect;
  } table[] = {{"Label1", {8, 36, 0, 0}},
               {"txtFile", {8, 56, 361, 21}},
               {"cmdBrowse", {376, 56, 69, 21}},
               {"cmdBuild", {300, 92, 69, 21}},
               {"cmdClose", {376, 92, 69, 21}}};
  ASSERT_EQ(fake.controls().size(), std::size(table));
  for (const auto& row : table) {
    const test::FakeControlState* control = fake.Find(row.name);
    ASSERT_NE(control, nullptr) << row.name;
    EXPECT_EQ(dynamic_cast<const ui::Control&>(*control).Bounds(), row.rect) << row.name;
    EXPECT_STREQ(control->font().family, ui::kVerdana) << row.name;
    EXPECT_EQ(control->font().points, 8) << row.name;
  }
  EXPECT_EQ(window->Label1->Text(), "Please select parameter file :");
}

TEST_F(BuilderWindowTest, ConversionErrorOfAHighByteReachesTheBoxReadable) {
  // A parameter file's texts are single-byte: the box must show the character, not a broken
  // sequence.
  test::WriteText(folder_ / "latin.txt", "[DVD]\n\xE9Q0000000000000000000000=Bad\n");
  auto window = Window();
  window->txtFile->SetText(InFolder("latin.txt"));
  window->cmdBuild->Click();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].kind, "error");
  EXPECT_NE(shown_[0].text.find("\xC3\xA9"), std::string::npos) << shown_[0].text;
}

}  // namespace
}  // namespace kv
