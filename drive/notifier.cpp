#include "drive/notifier.h"

#include <cstdio>

namespace kv {

void StderrNotifier::ShowError(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s %s\n", caption.c_str(), text.c_str());
}

}  // namespace kv
