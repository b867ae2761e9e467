#include "ui/message_boxes.h"

#include <QMessageBox>

namespace kv::ui {

void QtMessageBoxes::ShowError(QWidget* owner, const QString& caption, const QString& text) {
  QMessageBox::critical(owner, caption, text, QMessageBox::Ok);
}

void RecordingMessageBoxes::ShowError(QWidget*, const QString& caption, const QString& text) {
  entries_.push_back({caption, text});
}

void MessageBoxNotifier::ShowError(const std::string& text, const std::string& caption) {
  // The drive layer speaks single-byte text; Latin-1 keeps every byte visible.
  boxes_.ShowError(nullptr, QString::fromLatin1(caption.c_str()),
                   QString::fromLatin1(text.c_str()));
}

}  // namespace kv::ui
