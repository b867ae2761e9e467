// The C runtime starts in the "C" locale, which reads a byte above 7Fh as the character of that
// number (80h as U+0080, not the euro sign of code page 1252); a path made from narrow text is
// converted through it. The user's locale makes that conversion the ANSI code page's.
#include "os/system_names.h"

#include <clocale>

namespace kv {

void UseSystemEncodingForNames() {
  std::setlocale(LC_CTYPE, "");
}

}  // namespace kv
