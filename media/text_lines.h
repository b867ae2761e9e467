// Reading and trimming the lines of the program's text files (the user-defined media database
// and the builder's parameter file).
#pragma once

#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Longest piece a line is read in; a longer line becomes several consecutive pieces.
inline constexpr std::size_t kLinePieceLength = 2047;

// Cuts bytes into line pieces as they arrive, holding at most one piece: the rules of
// ReadLinePieces for files of any length in bounded memory.
class LinePieceSplitter {
 public:
  // Called with each finished piece; returns false to stop (the splitter then ignores the rest).
  using Sink = std::function<bool(std::string_view piece)>;

  explicit LinePieceSplitter(Sink sink) : sink_(std::move(sink)) {}

  // False once the sink has asked to stop.
  bool Feed(std::string_view bytes);
  // The end of the input: hands over the last piece if it holds anything.
  void Finish();

 private:
  bool Char(char c);
  bool Emit();

  Sink sink_;
  std::string piece_;
  bool justCut_ = false;  // a piece cut at full length followed directly by the line feed adds none
  bool pendingCr_ = false;
  bool stopped_ = false;
};

// Reads the stream in text mode: a carriage return before a line feed is dropped, each piece holds
// at most kLinePieceLength characters. The pieces come back untrimmed, in file order.
std::vector<std::string> ReadLinePieces(std::istream& in);

// Removes characters with codes 0 to 32 at both ends.
std::string TrimControl(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace kv
