// What the command line says about itself: the program's name, --help per edition, and the
// form of its error lines.
#pragma once

#include <string>

namespace kv {

// "krellvane-builder" in a builder edition, else "krellvane".
std::string ProgramName();

// The --help text of the running edition: a usage line, one sentence per option it offers and
// the exit statuses.
std::string HelpText(bool builderEdition);

// "PROGRAM: text" as one line for standard error.
std::string ErrorLine(const std::string& text);

}  // namespace kv
