// The program's icon, the same picture the desktop entry shows.
#pragma once

#include <QIcon>

namespace kv {

// The icon drawn from its SVG at the sizes window managers ask for.
QIcon ProgramIcon();

}  // namespace kv
