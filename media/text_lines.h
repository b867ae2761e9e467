// Reading and trimming the lines of the program's text files (the user-defined media database
// and the builder's parameter file).
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Longest piece a line is read in; a longer line becomes several consecutive pieces.
inline constexpr std::size_t kLinePieceLength = 2047;

// Reads the stream in text mode: a carriage return before a line feed is dropped, each piece holds
// at most kLinePieceLength characters. The pieces come back untrimmed, in file order.
std::vector<std::string> ReadLinePieces(std::istream& in);

// Removes characters with codes 0 to 32 at both ends.
std::string TrimControl(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace kv
