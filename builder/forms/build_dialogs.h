// The builder window's file and message dialogs, behind a seam so that tests can answer them.
#pragma once

#include <QString>

#include "ui/skin_pictures.h"

class QWidget;

namespace kv {

class BuildDialogs {
 public:
  virtual ~BuildDialogs() = default;

  // The file-open dialog (any file, which must exist). False when the user cancels.
  virtual bool ChooseParameterFile(QWidget* owner, QString& path) = 0;
  // The skinned modal message dialog with one "OK" button.
  virtual void ShowMessage(QWidget* owner, const QString& caption, const QString& text,
                           ui::DialogIcon icon) = 0;
  // The framework's standard error box.
  virtual void ShowError(QWidget* owner, const QString& text) = 0;
};

// The real dialogs: QFileDialog, the skin's message dialog and QMessageBox.
class QtBuildDialogs : public BuildDialogs {
 public:
  bool ChooseParameterFile(QWidget* owner, QString& path) override;
  void ShowMessage(QWidget* owner, const QString& caption, const QString& text,
                   ui::DialogIcon icon) override;
  void ShowError(QWidget* owner, const QString& text) override;
};

}  // namespace kv
