// The "DeepBlue" look shared by every toolkit: colours, the title bar's measures, the font names
// of the layout tables and the maker's web address behind the link label.
#pragma once

#include "ui/toolkit_types.h"

namespace kv::ui {

inline constexpr Rgb kClientBackground = 0xE8E8E8;
inline constexpr Rgb kBorderColour = 0x000000;
inline constexpr Rgb kTitleBarTop = 0x2A4F9C;
inline constexpr Rgb kTitleBarBottom = 0x0B1F5C;
inline constexpr Rgb kChromeColour = 0x10286A;  // the window area outside the drawn frame
inline constexpr Rgb kNavy = 0x000080;
inline constexpr Rgb kBlack = 0x000000;
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kLinkColour = 0x0000FF;
inline constexpr Rgb kLinkHoverColour = 0xFF0000;
inline constexpr int kTitleBarHeight = 21;

inline constexpr const char* kTahoma = "Tahoma";
inline constexpr const char* kVerdana = "Verdana";
inline constexpr const char* kMsSansSerif = "MS Sans Serif";
inline constexpr const char* kCourierNew = "Courier New";

inline constexpr const char* kMakerWebAddress = "https://www.orvelix.example/";

// The title-bar buttons a frame has: an OR of these.
enum TitleButton : int { kNoButtons = 0, kMinimize = 1, kMaximize = 2, kClose = 4 };
inline constexpr int kAllButtons = kMinimize | kMaximize | kClose;

}  // namespace kv::ui
