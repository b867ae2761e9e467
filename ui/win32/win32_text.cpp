#include "ui/win32/win32_text.h"

#include <windows.h>

#include <vector>

namespace kv::ui::win32 {

namespace {

std::string Convert(const std::string& text, UINT from, UINT to) {
  if (text.empty()) {
    return text;
  }
  const int wide =
      MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wide <= 0) {
    return text;
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(wide));
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), buffer.data(), wide);
  const int narrow = WideCharToMultiByte(to, 0, buffer.data(), wide, nullptr, 0, nullptr, nullptr);
  if (narrow <= 0) {
    return text;
  }
  std::string out(static_cast<std::size_t>(narrow), '\0');
  WideCharToMultiByte(to, 0, buffer.data(), wide, out.data(), narrow, nullptr, nullptr);
  return out;
}

}  // namespace

std::string Utf8ToAnsi(const std::string& text) {
  return Convert(text, CP_UTF8, CP_ACP);
}

std::string AnsiToUtf8(const std::string& text) {
  return Convert(text, CP_ACP, CP_UTF8);
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
      out.push_back('\r');
    }
    out.push_back(text[i]);
  }
  return out;
}

std::string WithoutCr(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace kv::ui::win32
