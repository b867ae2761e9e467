// The property block, the drive layer and the report speak single-byte text; the toolkit seam
// speaks UTF-8. Latin-1 maps every byte to one character, so nothing is lost either way.
#pragma once

#include <string>

namespace kv::ui {

std::string Latin1ToUtf8(const std::string& text);
// Characters beyond Latin-1, and broken sequences, become '?'.
std::string Utf8ToLatin1(const std::string& text);

}  // namespace kv::ui
