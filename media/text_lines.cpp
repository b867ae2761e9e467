#include "media/text_lines.h"

namespace kv {

namespace {

// Codes 0 to 32 are blanks and control characters; compare as unsigned so that bytes of the
// upper half of the code page are kept.
bool IsControlOrBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool LinePieceSplitter::Emit() {
  if (!sink_(piece_)) {
    stopped_ = true;
  }
  piece_.clear();
  return !stopped_;
}

bool LinePieceSplitter::Char(char c) {
  if (c == '\n') {
    const bool add = !justCut_;
    justCut_ = false;
    return add ? Emit() : true;
  }
  piece_.push_back(c);
  justCut_ = false;
  if (piece_.size() == kLinePieceLength) {
    justCut_ = true;
    return Emit();
  }
  return true;
}

bool LinePieceSplitter::Feed(std::string_view bytes) {
  for (const char c : bytes) {
    if (stopped_) {
      return false;
    }
    // A carriage return is only dropped when a line feed follows, which may be in the next bytes.
    if (pendingCr_) {
      pendingCr_ = false;
      if (c != '\n' && !Char('\r')) {
        return false;
      }
    }
    if (c == '\r') {
      pendingCr_ = true;
      continue;
    }
    if (!Char(c)) {
      return false;
    }
  }
  return !stopped_;
}

void LinePieceSplitter::Finish() {
  if (stopped_) {
    return;
  }
  if (pendingCr_) {
    pendingCr_ = false;
    if (!Char('\r')) {
      return;
    }
  }
  if (!piece_.empty()) {
    Emit();
  }
}

std::vector<std::string> ReadLinePieces(std::istream& in) {
  std::vector<std::string> pieces;
  LinePieceSplitter splitter([&pieces](std::string_view piece) {
    pieces.emplace_back(piece);
    return true;
  });
  char chunk[4096];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    splitter.Feed(std::string_view(chunk, static_cast<std::size_t>(in.gcount())));
  }
  splitter.Finish();
  return pieces;
}

std::string TrimControl(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsControlOrBlank(text[begin])) {
    ++begin;
  }
  while (end > begin && IsControlOrBlank(text[end - 1])) {
    --end;
  }
  return std::string(text.substr(begin, end - begin));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace kv
