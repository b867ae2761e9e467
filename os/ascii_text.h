// Byte classes of ASCII text that do not follow the C locale: with a Windows code page set for
// file names, the C library counts a byte like B2h (a superscript two in code page 1252) as a
// digit, and toupper changes letters beyond ASCII.
#pragma once

namespace kv {

constexpr bool IsAsciiDigit(char ch) {
  return ch >= '0' && ch <= '9';
}

// 0 to 15, or -1 for a byte that is no hexadecimal digit.
constexpr int AsciiHexValue(char ch) {
  if (IsAsciiDigit(ch)) {
    return ch - '0';
  }
  if (ch >= 'a' && ch <= 'f') {
    return ch - 'a' + 10;
  }
  if (ch >= 'A' && ch <= 'F') {
    return ch - 'A' + 10;
  }
  return -1;
}

constexpr char AsciiUpper(char ch) {
  return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
}

}  // namespace kv
