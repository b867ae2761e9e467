// The system message boxes of the windows, behind a seam so that tests record them instead of
// blocking on a modal box.
#pragma once

#include <QString>

#include <vector>

#include "drive/notifier.h"

class QWidget;

namespace kv::ui {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal error box with one OK button.
  virtual void ShowError(QWidget* owner, const QString& caption, const QString& text) = 0;
};

// QMessageBox::critical.
class QtMessageBoxes : public MessageBoxes {
 public:
  void ShowError(QWidget* owner, const QString& caption, const QString& text) override;
};

// Keeps every box it was asked to show, in order.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  struct Entry {
    QString caption;
    QString text;
  };
  void ShowError(QWidget* owner, const QString& caption, const QString& text) override;
  const std::vector<Entry>& entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

// Lets the drive layer's messages (the ASPI load failures) appear as message boxes.
class MessageBoxNotifier : public Notifier {
 public:
  explicit MessageBoxNotifier(MessageBoxes& boxes) : boxes_(boxes) {}
  void ShowError(const std::string& text, const std::string& caption) override;

 private:
  MessageBoxes& boxes_;
};

}  // namespace kv::ui
