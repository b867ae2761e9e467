// The main window: the drive list, the "?" button with its report and the "KRELL-VANE" button.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/core/startup.h"
#include "drive/atapi_device.h"
#include "drive/platform.h"
#include "media/user_database.h"
#include "ui/form.h"
#include "ui/message_boxes.h"
#include "ui/toolkit.h"

namespace kv {

class TfrmSplash;

// What the window needs from its surroundings; tests replace the modal parts.
struct MainWindowServices {
  ui::Toolkit* toolkit = nullptr;     // required
  ui::MessageBoxes* boxes = nullptr;  // required
  // Runs a modal window (the information box, the builder); default: its window's RunModal.
  std::function<int(ui::Form&)> runModal;
  // Makes the builder window of build mode, owned by the given window; without it build mode
  // shows no builder.
  std::function<std::unique_ptr<ui::Form>(ui::Window* owner)> makeBuilder;
  // Called once the splash has been painted (the screenshot tour takes its picture here).
  std::function<void(TfrmSplash&)> splashShown;
};

class TfrmMain : public ui::Form {
  // Declared first: the start-up's device and lists below are references into it.
  std::unique_ptr<Platform> platform_;
  MainWindowServices services_;
  // The drive layer's messages (the manager's load failures) as the window's message boxes.
  ui::MessageBoxNotifier notifier_;
  Startup startup_;
  std::unique_ptr<ui::Window> window_;

 public:
  static constexpr int kDesignWidth = 485;
  static constexpr int kDesignHeight = 391;

  // platform may be null (it could not be created): start-up then reports that no device object
  // could be built. FormCreate runs before the constructor returns.
  TfrmMain(std::unique_ptr<Platform> platform, MainWindowServices services);
  ~TfrmMain() override;  // runs FormDestroy

  ui::Window& GetWindow() override { return *window_; }

  ui::Label* Label1;
  ui::Label* lblStep1;
  ui::DropDown* cboDrives;
  ui::Label* Label3;
  ui::Label* lblStep2;
  ui::Memo* memTranslator;
  ui::LinkLabel* lblCopyright;
  ui::Label* Label5;
  ui::Label* lblStep3;
  ui::PictureButton* cmdRefresh;
  ui::PushButton* cmdShowKV;
  ui::Picture* suiImageButton1;
  // The device object and the user database live in the start-up object, which the window owns.
  const std::unique_ptr<AtapiDevice>& Device;
  std::array<int32_t, 16> DriveIndex{};
  kv::UserCdList& UserCdList;
  kv::UserDvdList& UserDvdList;

  void FormCreate();
  void FormDestroy();
  void cboDrivesChange();
  void cmdRefreshClick();
  void cmdShowKVClick();
  void ShowBuilder();
  void LoadUserDefinedFile();
  const char* FindManufacturer(DiscType discType, int32_t leadIn, int32_t leadOut);
  char* MakePrintable(char* buffer, std::size_t count);

  // Start-up asked the application to end (build mode, or a fatal start-up condition); the
  // process entry then does not run the message loop.
  bool TerminateRequested() const { return terminateRequested_; }
  Platform* GetPlatform() const { return platform_.get(); }
  // The splash while start-up runs; null before and after.
  const TfrmSplash* Splash() const { return splash_.get(); }

 private:
  void BuildControls();
  void RequestTerminate();
  void ShowFatal(const std::string& text);
  int RunModal(ui::Form& form);

  std::unique_ptr<TfrmSplash> splash_;
  bool terminateRequested_ = false;
  bool destroyed_ = false;
};

}  // namespace kv
