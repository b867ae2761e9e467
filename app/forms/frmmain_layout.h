// Where the main window's controls sit, relative to the drawn frame (which fills the window).
#pragma once

#include <QRect>

namespace kv::main_layout {

inline constexpr QRect kLogo{6, 26, 95, 26};
inline constexpr QRect kShowKV{362, 41, 103, 25};
inline constexpr QRect kLabel1{12, 55, 45, 13};
inline constexpr QRect kStep1{64, 55, 253, 13};
inline constexpr QRect kDrives{56, 75, 409, 23};
inline constexpr QRect kLabel3{12, 107, 45, 13};
inline constexpr QRect kStep2{64, 107, 325, 53};
inline constexpr QRect kRefresh{396, 111, 73, 49};
inline constexpr QRect kLabel5{12, 171, 45, 13};
inline constexpr QRect kStep3{64, 171, 190, 13};
inline constexpr QRect kTranslator{8, 191, 459, 151};
inline constexpr QRect kCopyright{84, 345, 310, 13};

}  // namespace kv::main_layout
