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

std::vector<std::string> ReadLinePieces(std::istream& in) {
  std::vector<std::string> pieces;
  std::string piece;
  // A piece cut at full length followed directly by the line feed must not add an empty line.
  bool justCut = false;
  for (int ch = in.get(); ch != std::istream::traits_type::eof(); ch = in.get()) {
    char c = static_cast<char>(ch);
    if (c == '\r' && in.peek() == '\n') {
      continue;
    }
    if (c == '\n') {
      if (!justCut) {
        pieces.push_back(std::move(piece));
      }
      piece.clear();
      justCut = false;
      continue;
    }
    piece.push_back(c);
    justCut = false;
    if (piece.size() == kLinePieceLength) {
      pieces.push_back(std::move(piece));
      piece.clear();
      justCut = true;
    }
  }
  if (!piece.empty()) {
    pieces.push_back(std::move(piece));
  }
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
