// The builder window: names a parameter file and writes Krellvane.Exe from the program's own file.
#pragma once

#include <memory>

#include "builder/build_session.h"
#include "ui/form.h"
#include "ui/toolkit.h"

namespace kv {

class TfrmBuildKV : public ui::Form {
 public:
  static constexpr ui::Size kClientSize{454, 123};
  static constexpr ui::Rect kLabel1{8, 36, 0, 0};  // sized to its text
  static constexpr ui::Rect kTxtFile{8, 56, 361, 21};
  static constexpr ui::Rect kCmdBrowse{376, 56, 69, 21};
  static constexpr ui::Rect kCmdBuild{300, 92, 69, 21};
  static constexpr ui::Rect kCmdClose{376, 92, 69, 21};

  // options: for tests, a build on a chosen prototype and output folder.
  TfrmBuildKV(ui::Toolkit& toolkit, ui::Window* owner, BuildOptions options = {});
  ~TfrmBuildKV() override;

  ui::Window& GetWindow() override { return *window_; }

  void cmdBrowseClick();
  void cmdBuildClick();
  void cmdCloseClick();
  void FormDestroy();

  const BuildSession& session() const { return session_; }

  ui::Label* Label1;
  ui::Edit* txtFile;
  ui::PushButton* cmdBrowse;
  ui::PushButton* cmdBuild;
  ui::PushButton* cmdClose;

 private:
  void CreateControls();

  ui::Toolkit& toolkit_;
  std::unique_ptr<ui::Window> window_;
  BuildSession session_;
};

}  // namespace kv
