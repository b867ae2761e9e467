// The builder window offscreen, with pre-answered dialogs and a synthetic prototype.
#include <gtest/gtest.h>
#include "tests/ui/test_application.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "builder/builder_test_support.h"
#include "builder/forms/frmbuild.h"
#include "builder/output_file.h"
#include "ui/skin_button.h"

namespace kv {
namespace {

namespace fs = std::filesystem;

QApplication& BuilderApp() {
  return test::TestApplication();
}

struct Shown {
  QString kind;  // "message" or "error"
  QString caption;
  QString text;
  ui::DialogIcon icon = ui::DialogIcon::Information;
  bool buildEnabled = true;  // cmdBuild's state while the box was up
};

class AnsweringDialogs : public BuildDialogs {
 public:
  AnsweringDialogs(std::vector<Shown>& shown, std::optional<QString> choice)
      : shown_(shown), choice_(std::move(choice)) {}
  bool ChooseParameterFile(QWidget*, QString& path) override {
    if (!choice_) {
      return false;
    }
    path = *choice_;
    return true;
  }
  void ShowMessage(QWidget* owner, const QString& caption, const QString& text,
                   ui::DialogIcon icon) override {
    shown_.push_back({"message", caption, text, icon, BuildEnabled(owner)});
  }
  void ShowError(QWidget* owner, const QString& text) override {
    shown_.push_back({"error", "", text, ui::DialogIcon::Stop, BuildEnabled(owner)});
  }

 private:
  static bool BuildEnabled(QWidget* owner) {
    return owner->findChild<QPushButton*>("cmdBuild")->isEnabled();
  }
  std::vector<Shown>& shown_;
  std::optional<QString> choice_;
};

class BuilderWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    BuilderApp();
    const std::vector<uint8_t> image = test::PrototypeImage();
    test::WriteText(folder_ / "prototype", std::string(image.begin(), image.end()));
    test::WriteText(folder_ / "params.txt", "[PROPERTY]\nNAME=From window\n");
    test::WriteText(folder_ / "bad.txt", "[DVD]\nQQ0000000000000000000000=Bad\n");
  }

  std::unique_ptr<TfrmBuildKV> Window(std::optional<QString> choice = std::nullopt) {
    return std::make_unique<TfrmBuildKV>(
        nullptr, std::make_unique<AnsweringDialogs>(shown_, std::move(choice)),
        BuildOptions{(folder_ / "prototype").string(), test::kTestMarker, folder_.path()});
  }

  QString InFolder(const std::string& name) const {
    return QString::fromStdString((folder_ / name).string());
  }

  test::TempFolder folder_;
  std::vector<Shown> shown_;
};

struct ClickCase {
  const char* name;
  std::string file;  // "@x" is x in the temp folder
  QString kind;
  QString caption;
  QString text;
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
  window->txtFile->setText(QString::fromStdString(file));
  window->cmdBuild->click();

  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].kind, GetParam().kind);
  if (GetParam().kind == "message") {
    EXPECT_EQ(shown_[0].caption, GetParam().caption);
    EXPECT_EQ(shown_[0].icon, GetParam().icon);
  }
  EXPECT_EQ(shown_[0].text, GetParam().text);
  EXPECT_FALSE(shown_[0].buildEnabled) << "Build stays disabled while the build runs";
  EXPECT_TRUE(window->cmdBuild->isEnabled());
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
  window->cmdBuild->click();
  window->txtFile->setText(InFolder("params.txt"));
  window->cmdBuild->click();
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].text, "File created successfully !");
  const auto block = test::BlockAt(test::ReadBytes(folder_ / kOutputFileName), 4097);
  EXPECT_EQ(test::FieldText(block->Name), "From window");
  EXPECT_EQ(block->BuildMode[10], '0');
}

TEST_F(BuilderWindowTest, BrowseFillsPathOnlyWhenConfirmed) {
  auto cancelled = Window();
  cancelled->txtFile->setText("kept");
  cancelled->cmdBrowse->click();
  EXPECT_EQ(cancelled->txtFile->text(), "kept");

  auto chosen = Window(InFolder("params.txt"));
  chosen->cmdBrowse->click();
  EXPECT_EQ(chosen->txtFile->text(), InFolder("params.txt"));
}

TEST_F(BuilderWindowTest, CloseHidesAndDestroyReleasesImage) {
  auto window = Window();
  window->show();
  window->txtFile->setText(InFolder("params.txt"));
  window->cmdBuild->click();
  EXPECT_GT(window->session().PrototypeSize(), 0u);
  window->cmdClose->click();
  EXPECT_FALSE(window->isVisible());
  window->FormDestroy();
  EXPECT_EQ(window->session().PrototypeSize(), 0u);
  EXPECT_TRUE(window->session().PrototypeImage().empty());
}

}  // namespace
}  // namespace kv
