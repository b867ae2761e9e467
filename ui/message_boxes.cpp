#include "ui/message_boxes.h"

#include "ui/text_encoding.h"
#include "ui/toolkit.h"

namespace kv::ui {

void ToolkitMessageBoxes::ShowError(Window* owner, const std::string& caption,
                                    const std::string& text) {
  toolkit_.ShowSystemError(owner, caption, text);
}

void RecordingMessageBoxes::ShowError(Window*, const std::string& caption,
                                      const std::string& text) {
  entries_.push_back({caption, text});
}

void MessageBoxNotifier::ShowError(const std::string& text, const std::string& caption) {
  // The drive layer speaks single-byte text; Latin-1 keeps every byte visible.
  boxes_.ShowError(nullptr, Latin1ToUtf8(caption), Latin1ToUtf8(text));
}

}  // namespace kv::ui
