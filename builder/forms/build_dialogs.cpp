#include "builder/forms/build_dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "ui/skin_message_dialog.h"

namespace kv {

namespace {
// "Any Files(*.*)|*.*" in the toolkit's form: every file, extension or not.
constexpr const char* kAnyFilesFilter = "Any Files(*.*) (*)";
constexpr const char* kErrorBoxCaption = "Krellvane";
}  // namespace

bool QtBuildDialogs::ChooseParameterFile(QWidget* owner, QString& path) {
  QFileDialog OpenDialog1(owner);
  OpenDialog1.setObjectName("OpenDialog1");
  OpenDialog1.setNameFilter(kAnyFilesFilter);
  OpenDialog1.setFileMode(QFileDialog::ExistingFile);
  OpenDialog1.setAcceptMode(QFileDialog::AcceptOpen);
  if (OpenDialog1.exec() != QDialog::Accepted || OpenDialog1.selectedFiles().isEmpty()) {
    return false;
  }
  path = OpenDialog1.selectedFiles().first();
  return true;
}

void QtBuildDialogs::ShowMessage(QWidget* owner, const QString& caption, const QString& text,
                                 ui::DialogIcon icon) {
  ui::SkinMessageDialog::Show(owner, caption, text, icon);
}

void QtBuildDialogs::ShowError(QWidget* owner, const QString& text) {
  QMessageBox::critical(owner, kErrorBoxCaption, text, QMessageBox::Ok);
}

}  // namespace kv
