// The system message boxes of the windows, behind a seam so that tests record them instead of
// blocking on a modal box.
#pragma once

#include <string>
#include <vector>

#include "drive/notifier.h"

namespace kv::ui {

class Toolkit;
class Window;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A modal error box with one OK button; texts in UTF-8.
  virtual void ShowError(Window* owner, const std::string& caption, const std::string& text) = 0;
};

// The toolkit's system error box.
class ToolkitMessageBoxes : public MessageBoxes {
 public:
  explicit ToolkitMessageBoxes(Toolkit& toolkit) : toolkit_(toolkit) {}
  void ShowError(Window* owner, const std::string& caption, const std::string& text) override;

 private:
  Toolkit& toolkit_;
};

// Keeps every box it was asked to show, in order.
class RecordingMessageBoxes : public MessageBoxes {
 public:
  struct Entry {
    std::string caption;
    std::string text;
  };
  void ShowError(Window* owner, const std::string& caption, const std::string& text) override;
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
