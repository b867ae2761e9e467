// What the running edition says about itself, read from its property block.
#pragma once

#include <string>

namespace kv {

// "%s v%s.%s.%s" of NAME, MAJOR, MINOR, REV; a leading blank stays when NAME is empty.
std::string EditionTitle();

// The --version text: the edition title, "(builder edition)" when the build flag is set, and the
// program's own release.
std::string VersionText();

}  // namespace kv
