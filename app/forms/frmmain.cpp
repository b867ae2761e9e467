#include "app/forms/frmmain.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>

#include <chrono>

#include "app/core/main_window_logic.h"
#include "app/core/manufacturer.h"
#include "app/core/media_check.h"
#include "app/core/window_size.h"
#include "app/forms/check_in_progress.h"
#include "app/forms/frmmain_layout.h"
#include "app/forms/krellvane_msgbox.h"
#include "app/forms/memo_report_sink.h"
#include "app/forms/splash.h"
#include "media/property_block.h"
#include "media/settings.h"
#include "ui/skin_pictures.h"
#include "ui/skin_style.h"

namespace kv {

namespace {

constexpr const char* kSystemCaption = "KRELL-VANE v3.0.0";
constexpr const char* kErrorCaption = "Error ...";
constexpr const char* kApplicationTitle = "Krellvane";
constexpr int kMinimumWidth = 130;
constexpr int kDriveItemHeight = 15;
// How long start-up waits for the splash to reach the screen before it questions the drives.
constexpr std::chrono::milliseconds kSplashPaintBound{1500};

QString BlockText(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QFont font,
                  QColor colour) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  ui::SetTextColour(label, colour);
  return label;
}

}  // namespace

TfrmMain::TfrmMain(std::unique_ptr<Platform> platform, MainWindowServices services, QWidget* parent)
    : QWidget(parent),
      platform_(std::move(platform)),
      services_(std::move(services)),
      notifier_(*services_.boxes),
      startup_(platform_.get(), notifier_),
      Device(startup_.Device()),
      UserCdList(startup_.UserCd()),
      UserDvdList(startup_.UserDvd()) {
  BuildControls();
  startup_.SetApplicationTag();
  UserCdList.clear();
  UserDvdList.clear();
  FormCreate(this);
}

TfrmMain::~TfrmMain() {
  FormDestroy(this);
}

void TfrmMain::BuildControls() {
  setObjectName("frmMain");
  ui::ApplySkinWindow(this);
  setWindowTitle(kSystemCaption);
  resize(kDesignWidth, kDesignHeight);
  setMinimumWidth(kMinimumWidth);

  // The frame covers the whole window at any size; the controls keep their places on it.
  suiForm1 = new ui::SuiForm(this, true, ui::SuiForm::kAllButtons);
  suiForm1->fillWindow();

  const QFont stepHeading = ui::SkinFont(ui::kVerdana, 8, true);
  const QFont stepText = ui::SkinFont(ui::kVerdana, 8);
  const QFont fixedPitch = ui::SkinFont(ui::kCourierNew, 9);

  suiImageButton1 = new ui::SkinPicture(ui::DrawLogoPicture(main_layout::kLogo.size()), suiForm1);
  suiImageButton1->setObjectName("suiImageButton1");
  suiImageButton1->setGeometry(main_layout::kLogo);

  cmdShowKV = new ui::SkinButton("KRELL-VANE", suiForm1);
  cmdShowKV->setObjectName("cmdShowKV");
  cmdShowKV->setFont(ui::SkinFont(ui::kVerdana, 9, true));
  ui::SetTextColour(cmdShowKV, Qt::red);
  cmdShowKV->setGeometry(main_layout::kShowKV);

  Label1 = MakeLabel(suiForm1, "Label1", "Step1 :", stepHeading, QColor(ui::kNavy));
  Label1->setGeometry(main_layout::kLabel1);
  lblStep1 = MakeLabel(suiForm1, "lblStep1", {}, stepText, Qt::black);
  lblStep1->setGeometry(main_layout::kStep1);

  cboDrives = new ui::SkinComboBox(kDriveItemHeight, suiForm1);
  cboDrives->setObjectName("cboDrives");
  cboDrives->setFont(fixedPitch);
  cboDrives->setGeometry(main_layout::kDrives);

  Label3 = MakeLabel(suiForm1, "Label3", "Step2 :", stepHeading, QColor(ui::kNavy));
  Label3->setGeometry(main_layout::kLabel3);
  lblStep2 = MakeLabel(suiForm1, "lblStep2", {}, stepText, Qt::black);
  lblStep2->setWordWrap(true);
  lblStep2->setGeometry(main_layout::kStep2);

  cmdRefresh = new ui::SkinImageButton(suiForm1);
  cmdRefresh->setObjectName("cmdRefresh");
  const QSize questionSize = main_layout::kRefresh.size();
  cmdRefresh->setPictures(ui::DrawQuestionPicture(questionSize, ui::PictureState::Normal),
                          ui::DrawQuestionPicture(questionSize, ui::PictureState::MouseOver),
                          ui::DrawQuestionPicture(questionSize, ui::PictureState::Pressed));
  cmdRefresh->setGeometry(main_layout::kRefresh);

  Label5 = MakeLabel(suiForm1, "Label5", "Step3 :", stepHeading, QColor(ui::kNavy));
  Label5->setGeometry(main_layout::kLabel5);
  lblStep3 = MakeLabel(suiForm1, "lblStep3", {}, stepText, Qt::black);
  lblStep3->setGeometry(main_layout::kStep3);

  memTranslator = new ui::SkinMemo(suiForm1);
  memTranslator->setObjectName("memTranslator");
  memTranslator->setFont(fixedPitch);
  memTranslator->setGeometry(main_layout::kTranslator);

  lblCopyright = new ui::SkinLinkLabel(suiForm1);
  lblCopyright->setObjectName("lblCopyright");
  QFont linkFont = stepText;
  linkFont.setUnderline(true);
  lblCopyright->setFont(linkFont);
  lblCopyright->setGeometry(main_layout::kCopyright);

  // The keyboard path: the drive list, the "?" button, the report, "KRELL-VANE"; F5 anywhere in
  // the window presses "?" (a disabled button ignores it).
  setTabOrder(cboDrives, cmdRefresh);
  setTabOrder(cmdRefresh, memTranslator);
  setTabOrder(memTranslator, cmdShowKV);
  cboDrives->setFocus(Qt::OtherFocusReason);
  auto* checkKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
  checkKey->setObjectName("checkShortcut");
  connect(checkKey, &QShortcut::activated, cmdRefresh, &QAbstractButton::click);

  connect(cboDrives, &QComboBox::currentIndexChanged, this, [this] { cboDrivesChange(cboDrives); });
  connect(cmdRefresh, &QAbstractButton::clicked, this, [this] { cmdRefreshClick(cmdRefresh); });
  connect(cmdShowKV, &QAbstractButton::clicked, this, [this] { cmdShowKVClick(cmdShowKV); });
}

// The process entry reads the flag and does not start the message loop.
void TfrmMain::RequestTerminate() {
  terminateRequested_ = true;
}

void TfrmMain::showEvent(QShowEvent* event) {
  // Centred on the screen the first time it is shown.
  if (!placed_) {
    placed_ = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }
  QWidget::showEvent(event);
}

void TfrmMain::ShowFatal(const QString& text) {
  // The splash stays on top; hide it so that it cannot cover the box.
  if (splash_ != nullptr) {
    splash_->hide();
  }
  services_.boxes->ShowError(nullptr, kErrorCaption, text);
}

int TfrmMain::RunModal(QDialog& dialog) {
  if (services_.runModal) {
    return services_.runModal(dialog);
  }
  return dialog.exec();
}

void TfrmMain::FormCreate(QObject*) {
  // 1. Build mode: the builder instead of the media check.
  if (IsBuildMode()) {
    hide();
    ShowBuilder();
    RequestTerminate();
    QCoreApplication::processEvents();
    return;
  }

  // 2. The splash, painted before the drives are questioned.
  splash_ = new TfrmSplash(this);
  splash_->ShowPainted(kSplashPaintBound);
  if (services_.splashShown) {
    services_.splashShown(*splash_);
  }

  // 3-6. Slots, texts and caption from the property block.
  DriveIndex.fill(kFreeDriveSlot);
  const PropertyBlock& block = Block();
  lblStep1->setText(BlockText(FieldText(block.Step1)));
  lblStep2->setText(BlockText(FieldText(block.Step2)));
  lblStep3->setText(BlockText(FieldText(block.Step3)));
  lblCopyright->setText(BlockText(FieldText(block.Copyright)));
  suiForm1->setCaption(BlockText(FormatTitle(block)));

  // 7. The device object.
  if (!startup_.CreateDevice()) {
    ShowFatal("Unable to create Device Object !");
    RequestTerminate();
    delete splash_;
    splash_ = nullptr;
    return;
  }

  // 8. The writers among the drives, without gaps.
  const DriveListing& listing = startup_.ListWriters();
  DriveIndex = listing.DriveIndex;
  {
    const QSignalBlocker quiet(cboDrives);
    cboDrives->clear();
    for (const std::string& line : listing.lines) {
      cboDrives->addItem(BlockText(line));
    }
    cboDrives->setCurrentIndex(-1);
  }

  // 9. Select the first line, or report that there is no drive at all.
  if (static_cast<int16_t>(Device->GetDriveCount()) <= 0) {
    ShowFatal("No drive detected !");
    RequestTerminate();
  } else {
    if (cboDrives->count() > 0) {
      const QSignalBlocker quiet(cboDrives);
      cboDrives->setCurrentIndex(0);
    }
    memTranslator->clear();
    cboDrivesChange(nullptr);
  }

  // 10. The stored window size.
  int32_t stored = 0;
  bool read = ReadRegInt(kSettingsKey, "Width", stored);
  resize(ChooseDimension(read, stored, width()), height());
  stored = 0;
  read = ReadRegInt(kSettingsKey, "Height", stored);
  resize(width(), ChooseDimension(read, stored, height()));

  // 11. Let the window settle in its normal state.
  setWindowState(Qt::WindowMaximized);
  setWindowState(Qt::WindowNoState);
  QCoreApplication::processEvents();
  update();

  // 12. The user-defined media database.
  LoadUserDefinedFile();

  // 13. The splash goes.
  delete splash_;
  splash_ = nullptr;
}

void TfrmMain::FormDestroy(QObject*) {
  if (destroyed_) {
    return;
  }
  destroyed_ = true;
  // Closed maximised, the window stores its restored size, not the screen's.
  const WindowSize stored =
      SizeToStore(isMaximized() || isFullScreen(), {width(), height()},
                  {normalGeometry().width(), normalGeometry().height()},
                  {kDesignWidth, kDesignHeight});
  WriteRegInt(kSettingsKey, "Width", stored.width);
  WriteRegInt(kSettingsKey, "Height", stored.height);
  startup_.Close();
}

void TfrmMain::cboDrivesChange(QObject*) {
  const std::optional<int16_t> drive =
      DriveForLine(DriveIndex, cboDrives->count(), cboDrives->currentIndex());
  if (drive.has_value()) {
    startup_.SelectDrive(*drive);
  }
  memTranslator->clear();
}

void TfrmMain::cmdRefreshClick(QObject*) {
  if (Device == nullptr) {
    return;
  }
  const CheckInProgress inProgress(*this, *cmdRefresh, *Device);
  MemoReportSink sink(*memTranslator);
  const DriveRecord* selected = nullptr;
  const std::optional<int16_t> drive =
      DriveForLine(DriveIndex, cboDrives->count(), cboDrives->currentIndex());
  if (drive.has_value()) {
    selected = Device->GetDriveRecord(static_cast<uint32_t>(*drive));
  }
  try {
    RunMediaCheck(*Device, selected, UserCdList, UserDvdList, sink);
  } catch (...) {
    // The check keeps what it has shown.
  }
}

void TfrmMain::cmdShowKVClick(QObject*) {
  auto box = std::make_unique<TfrmKrellvaneMsgBox>(this);
  RunModal(*box);
}

void TfrmMain::ShowBuilder() {
  if (!services_.makeBuilder) {
    return;
  }
  const std::unique_ptr<QDialog> builder = services_.makeBuilder(this);
  if (builder != nullptr) {
    RunModal(*builder);
  }
}

void TfrmMain::LoadUserDefinedFile() {
  const UserDatabaseLoad load = startup_.LoadUserDatabase();
  if (load.stoppedWithError) {
    services_.boxes->ShowError(this, kApplicationTitle, BlockText(load.error));
  }
}

const char* TfrmMain::FindManufacturer(DiscType discType, int32_t leadIn, int32_t leadOut) {
  if (Device == nullptr) {
    return nullptr;
  }
  return kv::FindManufacturer(*Device, UserCdList, UserDvdList, discType, leadIn, leadOut);
}

char* TfrmMain::MakePrintable(char* buffer, std::size_t count) {
  return kv::MakePrintable(buffer, count);
}

}  // namespace kv
