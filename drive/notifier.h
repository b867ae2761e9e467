// Where the drive layer reports what a person must see (the ASPI load failures): the windows
// show a system message box, the command line prints to standard error.
#pragma once

#include <string>

namespace kv {

class Notifier {
 public:
  virtual ~Notifier() = default;
  // An error message box with one OK button: text (may hold '\n') and caption.
  virtual void ShowError(const std::string& text, const std::string& caption) = 0;
};

// Prints "caption: text" to standard error.
class StderrNotifier : public Notifier {
 public:
  void ShowError(const std::string& text, const std::string& caption) override;
};

}  // namespace kv
