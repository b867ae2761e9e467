// The plain values the windows and their toolkits exchange: places, sizes, colours, fonts, the
// pictures the skin draws and the keys a window reacts to. Texts crossing the toolkit seam are
// UTF-8.
#pragma once

#include <cstdint>

namespace kv::ui {

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// A control's place relative to the top left corner of its window's drawn frame.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

// 0xRRGGBB.
using Rgb = uint32_t;

// A font of the layout tables: family, size in points at 96 dpi, weight, underline.
struct FontStyle {
  const char* family = nullptr;
  int points = 8;
  bool bold = false;
  bool underline = false;
};

enum class PictureState { Normal, MouseOver, Pressed };
enum class DialogIcon { Stop, Information };
// The pictures the skin draws itself, so that no image files are needed.
enum class PictureKind { Logo, Question };
enum class Key { F5 };

}  // namespace kv::ui
