// The DeepBlue skin drawn with GDI, to look like the Qt one: the frame with its title bar and
// buttons, the push button, the "?" picture in its three states and the logo.
#pragma once

#include <windows.h>

#include <string>

#include "ui/skin_look.h"

namespace kv::ui::win32 {

COLORREF ToColorRef(Rgb rgb);
int PointsToPixels(int points);
// A font of the layout tables; the caller deletes it.
HFONT MakeFont(const FontStyle& setup);

// The title-bar button under the frame's top right corner, right to left: close, maximise,
// minimise; the rectangle of `which` (empty when the frame has not got it).
RECT TitleButtonRect(const RECT& frame, int buttons, TitleButton which);
RECT TitleBarRect(const RECT& frame);

void PaintFrame(HDC dc, const RECT& frame, bool titleBar, int buttons, bool maximised,
                const std::string& caption, TitleButton hot);
void PaintPushButton(HDC dc, const RECT& box, const std::string& text, HFONT font, Rgb colour,
                     bool pressed, bool hot, bool focused, bool enabled);
void PaintQuestionPicture(HDC dc, const RECT& box, PictureState state);
void PaintLogoPicture(HDC dc, const RECT& box);

}  // namespace kv::ui::win32
