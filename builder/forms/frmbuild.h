// The builder window: names a parameter file and writes Krellvane.Exe from the program's own file.
#pragma once

#include <QDialog>
#include <memory>

#include "builder/build_session.h"
#include "builder/forms/build_dialogs.h"

class QLabel;
class QLineEdit;

namespace kv {

namespace ui {
class SkinButton;
class SuiForm;
}  // namespace ui

class TfrmBuildKV : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmBuildKV(QWidget* owner);
  // For tests: pre-answered dialogs and a build on a chosen prototype and output folder.
  TfrmBuildKV(QWidget* owner, std::unique_ptr<BuildDialogs> dialogs, BuildOptions options);
  ~TfrmBuildKV() override;

  void cmdBrowseClick();
  void cmdBuildClick();
  void cmdCloseClick();
  void FormDestroy();

  const BuildSession& session() const { return session_; }

  ui::SuiForm* suiForm1;
  QLabel* Label1;
  QLineEdit* txtFile;
  ui::SkinButton* cmdBrowse;
  ui::SkinButton* cmdBuild;
  ui::SkinButton* cmdClose;

 private:
  void CreateControls();

  std::unique_ptr<BuildDialogs> dialogs_;
  BuildSession session_;
};

}  // namespace kv
