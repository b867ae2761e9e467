// File names the program builds from narrow text: the text is in the system's own encoding (on
// Windows the ANSI code page, in which the window, the command line and the parameter file hand
// names over), and the conversion to the file system's names must read it so.
#pragma once

namespace kv {

// Called once at start, before any file name is made from text.
void UseSystemEncodingForNames();

}  // namespace kv
