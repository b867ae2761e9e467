// Where the main window's controls sit, relative to the drawn frame (which fills the window).
#pragma once

#include "ui/toolkit_types.h"

namespace kv::main_layout {

inline constexpr ui::Size kDesignSize{485, 391};
inline constexpr ui::Rect kLogo{6, 26, 95, 26};
inline constexpr ui::Rect kShowKV{362, 41, 103, 25};
inline constexpr ui::Rect kLabel1{12, 55, 45, 13};
inline constexpr ui::Rect kStep1{64, 55, 253, 13};
inline constexpr ui::Rect kDrives{56, 75, 409, 23};
inline constexpr ui::Rect kLabel3{12, 107, 45, 13};
inline constexpr ui::Rect kStep2{64, 107, 325, 53};
inline constexpr ui::Rect kRefresh{396, 111, 73, 49};
inline constexpr ui::Rect kLabel5{12, 171, 45, 13};
inline constexpr ui::Rect kStep3{64, 171, 190, 13};
inline constexpr ui::Rect kTranslator{8, 191, 459, 151};
inline constexpr ui::Rect kCopyright{84, 345, 310, 13};

}  // namespace kv::main_layout
