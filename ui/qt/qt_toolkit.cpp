#include "ui/qt/qt_toolkit.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "ui/qt/skin_message_dialog.h"

namespace kv::ui::qt {

namespace {
// "Any Files(*.*)|*.*" in the toolkit's form: every file, extension or not.
constexpr const char* kAnyFilesFilter = "Any Files(*.*) (*)";
}  // namespace

QWidget* WidgetOf(const Window* window) {
  const auto* qtWindow = dynamic_cast<const QtWindow*>(window);
  return qtWindow != nullptr ? qtWindow->widget() : nullptr;
}

QWidget* WidgetOf(const Control* control) {
  const auto* adapter = dynamic_cast<const QtControlBase*>(control);
  return adapter != nullptr ? adapter->widget() : nullptr;
}

SuiForm* FrameOf(const Window* window) {
  const auto* qtWindow = dynamic_cast<const QtWindow*>(window);
  return qtWindow != nullptr ? qtWindow->frame() : nullptr;
}

std::unique_ptr<Window> QtToolkit::MakeWindow(const WindowSetup& setup, Window* owner) {
  return std::make_unique<QtWindow>(setup, WidgetOf(owner));
}

bool QtToolkit::ChooseOpenFile(Window* owner, std::string& path) {
  QFileDialog OpenDialog1(WidgetOf(owner));
  OpenDialog1.setObjectName("OpenDialog1");
  OpenDialog1.setNameFilter(kAnyFilesFilter);
  OpenDialog1.setFileMode(QFileDialog::ExistingFile);
  OpenDialog1.setAcceptMode(QFileDialog::AcceptOpen);
  if (OpenDialog1.exec() != QDialog::Accepted || OpenDialog1.selectedFiles().isEmpty()) {
    return false;
  }
  path = ToUtf8(OpenDialog1.selectedFiles().first());
  return true;
}

std::string QtToolkit::FileNameFromText(const std::string& text) const {
  return QFile::encodeName(ToQString(text)).toStdString();
}

std::string QtToolkit::TextFromSystem(const std::string& message) const {
  return ToUtf8(QString::fromLocal8Bit(message.data(), static_cast<qsizetype>(message.size())));
}

void QtToolkit::ShowMessageDialog(Window* owner, const std::string& caption,
                                  const std::string& text, DialogIcon icon) {
  SkinMessageDialog::Show(WidgetOf(owner), ToQString(caption), ToQString(text), icon);
}

void QtToolkit::ShowSystemError(Window* owner, const std::string& caption,
                                const std::string& text) {
  QMessageBox::critical(WidgetOf(owner), ToQString(caption), ToQString(text), QMessageBox::Ok);
}

void QtToolkit::ProcessPendingMessages() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtToolkit::Run(Window&) {
  QApplication::exec();
}

}  // namespace kv::ui::qt
