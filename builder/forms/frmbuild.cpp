#include "builder/forms/frmbuild.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <exception>

#include "ui/skin_button.h"
#include "ui/skin_style.h"
#include "ui/sui_form.h"

namespace kv {

namespace {

constexpr const char* kCaption = "Krell-Vane Builder";
constexpr const char* kErrorCaption = "Error";
constexpr const char* kInformationCaption = "Information";
constexpr int kFontPoints = 8;

struct Geometry {
  int left, top, width, height;
};
constexpr Geometry kClient{0, 0, 454, 123};
constexpr Geometry kTxtFile{8, 56, 361, 21};
constexpr Geometry kCmdBrowse{376, 56, 69, 21};
constexpr Geometry kCmdBuild{300, 92, 69, 21};
constexpr Geometry kCmdClose{376, 92, 69, 21};
constexpr int kLabel1Left = 8;
constexpr int kLabel1Top = 36;

void Place(QWidget* widget, const Geometry& g) {
  widget->setGeometry(g.left, g.top, g.width, g.height);
}

// Texts from the parameter file are single-byte; system reasons come in the locale's encoding.
QString MessageText(const BuildOutcome& outcome) {
  return outcome.status == BuildStatus::ConversionError
             ? QString::fromLatin1(outcome.message.c_str())
             : QString::fromLocal8Bit(outcome.message.c_str());
}

}  // namespace

TfrmBuildKV::TfrmBuildKV(QWidget* owner)
    : TfrmBuildKV(owner, std::make_unique<QtBuildDialogs>(), BuildOptions{}) {}

TfrmBuildKV::TfrmBuildKV(QWidget* owner, std::unique_ptr<BuildDialogs> dialogs,
                         BuildOptions options)
    : QDialog(owner), dialogs_(std::move(dialogs)), session_(std::move(options)) {
  setObjectName("frmBuildKV");
  ui::ApplySkinWindow(this, Qt::Dialog);
  setWindowTitle(kCaption);
  setModal(true);
  setFont(ui::SkinFont(ui::kVerdana, kFontPoints));
  setFixedSize(kClient.width, kClient.height);
  CreateControls();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

TfrmBuildKV::~TfrmBuildKV() {
  FormDestroy();
}

void TfrmBuildKV::CreateControls() {
  suiForm1 = new ui::SuiForm(this, true, ui::SuiForm::kClose);
  suiForm1->setObjectName("suiForm1");
  suiForm1->setCaption(kCaption);
  suiForm1->fillWindow();

  const QFont font = ui::SkinFont(ui::kVerdana, kFontPoints);
  Label1 = new QLabel("Please select parameter file :", suiForm1);
  Label1->setObjectName("Label1");
  Label1->setFont(font);
  Label1->adjustSize();
  Label1->move(kLabel1Left, kLabel1Top);

  txtFile = new QLineEdit(suiForm1);
  txtFile->setObjectName("txtFile");
  txtFile->setFont(font);
  Place(txtFile, kTxtFile);

  cmdBrowse = new ui::SkinButton("Browse", suiForm1);
  cmdBrowse->setObjectName("cmdBrowse");
  cmdBrowse->setFont(font);
  Place(cmdBrowse, kCmdBrowse);

  cmdBuild = new ui::SkinButton("Build", suiForm1);
  cmdBuild->setObjectName("cmdBuild");
  cmdBuild->setFont(font);
  Place(cmdBuild, kCmdBuild);

  cmdClose = new ui::SkinButton("Close", suiForm1);
  cmdClose->setObjectName("cmdClose");
  cmdClose->setFont(font);
  Place(cmdClose, kCmdClose);

  connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowseClick(); });
  connect(cmdBuild, &QPushButton::clicked, this, [this] { cmdBuildClick(); });
  connect(cmdClose, &QPushButton::clicked, this, [this] { cmdCloseClick(); });
}

void TfrmBuildKV::cmdBrowseClick() {
  QString path;
  if (dialogs_->ChooseParameterFile(this, path)) {
    txtFile->setText(path);
  }
}

void TfrmBuildKV::cmdBuildClick() {
  cmdBuild->setEnabled(false);
  BuildOutcome outcome;
  try {
    outcome = session_.Run(txtFile->text().toLocal8Bit().toStdString());
  } catch (const std::exception& e) {
    // Out of memory and the like: shown like any other error, and the button comes back.
    dialogs_->ShowError(this, QString::fromLocal8Bit(e.what()));
    cmdBuild->setEnabled(true);
    return;
  }
  switch (outcome.status) {
    case BuildStatus::Created:
      dialogs_->ShowMessage(this, kInformationCaption, MessageText(outcome),
                            ui::DialogIcon::Information);
      break;
    case BuildStatus::ConversionError:
      dialogs_->ShowError(this, MessageText(outcome));
      break;
    case BuildStatus::NoFileSelected:
    case BuildStatus::FileNotExists:
    case BuildStatus::LoadPrototypeFailed:
    case BuildStatus::BlockNotFound:
    case BuildStatus::WriteFailed:
      dialogs_->ShowMessage(this, kErrorCaption, MessageText(outcome), ui::DialogIcon::Stop);
      break;
  }
  cmdBuild->setEnabled(true);
}

void TfrmBuildKV::cmdCloseClick() {
  close();
}

void TfrmBuildKV::FormDestroy() {
  session_.Release();
}

}  // namespace kv
