// The toolkit seam speaks UTF-8; the ANSI calls of user32 speak the system's code page.
#pragma once

#include <string>

namespace kv::ui::win32 {

std::string Utf8ToAnsi(const std::string& text);
std::string AnsiToUtf8(const std::string& text);
// "\n" line ends as the edit controls want them: "\r\n".
std::string WithCrLf(const std::string& text);
// And back: "\r\n" read from a control becomes "\n".
std::string WithoutCr(const std::string& text);

}  // namespace kv::ui::win32
