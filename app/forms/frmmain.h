// The main window: the drive list, the "?" button with its report and the "KRELL-VANE" button.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QWidget>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/core/startup.h"
#include "drive/atapi_device.h"
#include "drive/platform.h"
#include "media/user_database.h"
#include "ui/message_boxes.h"
#include "ui/skin_button.h"
#include "ui/skin_controls.h"
#include "ui/skin_link_label.h"
#include "ui/sui_form.h"

namespace kv {

class TfrmSplash;

// What the window needs from its surroundings; tests replace the modal parts.
struct MainWindowServices {
  ui::MessageBoxes* boxes = nullptr;  // required
  // Runs a modal dialog (the information box, the builder); default: QDialog::exec.
  std::function<int(QDialog&)> runModal;
  // Makes the builder window of build mode, owned by the given window; without it build mode
  // shows no builder.
  std::function<std::unique_ptr<QDialog>(QWidget* owner)> makeBuilder;
  // Called once the splash has been painted (the screenshot tour grabs it here).
  std::function<void(QWidget&)> splashShown;
};

class TfrmMain : public QWidget {
  Q_OBJECT

  // Declared first: the start-up's device and lists below are references into it.
  std::unique_ptr<Platform> platform_;
  MainWindowServices services_;
  // The drive layer's messages (the manager's load failures) as the window's message boxes.
  ui::MessageBoxNotifier notifier_;
  Startup startup_;

 public:
  static constexpr int kDesignWidth = 485;
  static constexpr int kDesignHeight = 391;

  // platform may be null (it could not be created): start-up then reports that no device object
  // could be built. FormCreate runs before the constructor returns.
  TfrmMain(std::unique_ptr<Platform> platform, MainWindowServices services,
           QWidget* parent = nullptr);
  ~TfrmMain() override;  // runs FormDestroy

  ui::SuiForm* suiForm1;
  QLabel* Label1;
  QLabel* lblStep1;
  ui::SkinComboBox* cboDrives;
  QLabel* Label3;
  QLabel* lblStep2;
  ui::SkinMemo* memTranslator;
  ui::SkinLinkLabel* lblCopyright;
  QLabel* Label5;
  QLabel* lblStep3;
  ui::SkinImageButton* cmdRefresh;
  ui::SkinButton* cmdShowKV;
  ui::SkinPicture* suiImageButton1;
  // The device object and the user database live in the start-up object, which the window owns.
  const std::unique_ptr<AtapiDevice>& Device;
  std::array<int32_t, 16> DriveIndex{};
  kv::UserCdList& UserCdList;
  kv::UserDvdList& UserDvdList;

  void FormCreate(QObject* sender);
  void FormDestroy(QObject* sender);
  void cboDrivesChange(QObject* sender);
  void cmdRefreshClick(QObject* sender);
  void cmdShowKVClick(QObject* sender);
  void ShowBuilder();
  void LoadUserDefinedFile();
  const char* FindManufacturer(DiscType discType, int32_t leadIn, int32_t leadOut);
  char* MakePrintable(char* buffer, std::size_t count);

  // Start-up asked the application to end (build mode, or a fatal start-up condition); the
  // process entry then does not run the message loop.
  bool TerminateRequested() const { return terminateRequested_; }
  Platform* GetPlatform() const { return platform_.get(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void RequestTerminate();
  void ShowFatal(const QString& text);
  int RunModal(QDialog& dialog);

  TfrmSplash* splash_ = nullptr;
  bool terminateRequested_ = false;
  bool destroyed_ = false;
  bool placed_ = false;
};

}  // namespace kv
