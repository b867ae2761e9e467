#include "ui/win32/win32_skin.h"

#include <algorithm>
#include <cmath>

namespace kv::ui::win32 {

namespace {

constexpr int kButtonWidth = 17;
constexpr int kButtonHeight = 15;
constexpr int kButtonGap = 2;
constexpr int kButtonRightMargin = 4;
constexpr int kCaptionLeft = 7;
constexpr double kPixelsPerPoint = 96.0 / 72.0;

// Top to bottom, one line at a time: GDI's own gradients need msimg32.
void VerticalGradient(HDC dc, const RECT& box, Rgb top, Rgb bottom) {
  const int height = std::max<int>(1, box.bottom - box.top);
  for (int y = 0; y < height; ++y) {
    const double t = height > 1 ? static_cast<double>(y) / (height - 1) : 0.0;
    auto mix = [t](Rgb a, Rgb b, int shift) {
      const int from = static_cast<int>((a >> shift) & 0xFF);
      const int to = static_cast<int>((b >> shift) & 0xFF);
      return static_cast<Rgb>(std::lround(from + (to - from) * t)) << shift;
    };
    const Rgb colour = mix(top, bottom, 16) | mix(top, bottom, 8) | mix(top, bottom, 0);
    RECT line{box.left, box.top + y, box.right, box.top + y + 1};
    HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
    FillRect(dc, &line, brush);
    DeleteObject(brush);
  }
}

void FillColour(HDC dc, const RECT& box, Rgb colour) {
  HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
  FillRect(dc, &box, brush);
  DeleteObject(brush);
}

void Outline(HDC dc, const RECT& box, Rgb colour, int width = 1, int penStyle = PS_SOLID) {
  HPEN pen = CreatePen(penStyle, width, ToColorRef(colour));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, Rgb colour, int width = 1) {
  HPEN pen = CreatePen(PS_SOLID, width, ToColorRef(colour));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Text(HDC dc, const RECT& box, const std::string& text, HFONT font, Rgb colour, UINT format) {
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ToColorRef(colour));
  RECT r = box;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
  SelectObject(dc, old);
}

// A recordable disc: silver ring, a sheen and the centre hole.
void PaintDisc(HDC dc, const RECT& box) {
  const Rgb rings[] = {0x8FA4C8, 0xBFE8D8, 0xE7C9F2, 0xC9D7F2, 0xFFFFFF};
  const int side = box.right - box.left;
  HPEN border = CreatePen(PS_SOLID, 1, ToColorRef(0x3B4E78));
  HGDIOBJ oldPen = SelectObject(dc, border);
  for (int k = 0; k < 5; ++k) {
    const int inset = side * k / 10;
    HBRUSH brush = CreateSolidBrush(ToColorRef(rings[k]));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    if (k == 1) {
      SelectObject(dc, GetStockObject(NULL_PEN));
    }
    Ellipse(dc, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
  }
  SelectObject(dc, border);
  const int hole = side * 28 / 100;
  const int cx = (box.left + box.right) / 2;
  const int cy = (box.top + box.bottom) / 2;
  HBRUSH holeBrush = CreateSolidBrush(ToColorRef(kClientBackground));
  HGDIOBJ oldBrush = SelectObject(dc, holeBrush);
  Ellipse(dc, cx - hole / 2, cy - hole / 2, cx + hole / 2 + 1, cy + hole / 2 + 1);
  SelectObject(dc, oldBrush);
  DeleteObject(holeBrush);
  SelectObject(dc, oldPen);
  DeleteObject(border);
}

void PaintTitleButton(HDC dc, const RECT& box, TitleButton which, bool maximised, bool hot) {
  VerticalGradient(dc, box, hot ? 0x6F95E0 : 0x4A74C8, hot ? 0x3460B8 : 0x1E3E8A);
  Outline(dc, box, 0xC8D6F4);
  const RECT glyph{box.left + 5, box.top + 4, box.right - 5, box.bottom - 4};
  switch (which) {
    case kMinimize:
      Line(dc, glyph.left, glyph.bottom - 1, glyph.right, glyph.bottom - 1, 0xFFFFFF, 2);
      break;
    case kMaximize:
      if (maximised) {
        const RECT back{glyph.left + 2, glyph.top - 1, glyph.right, glyph.bottom - 3};
        const RECT front{glyph.left, glyph.top + 2, glyph.right - 2, glyph.bottom};
        Outline(dc, back, 0xFFFFFF);
        FillColour(dc, front, 0x1E3E8A);
        Outline(dc, front, 0xFFFFFF);
      } else {
        Outline(dc, glyph, 0xFFFFFF);
        Line(dc, glyph.left, glyph.top + 1, glyph.right, glyph.top + 1, 0xFFFFFF);
      }
      break;
    case kClose:
      Line(dc, glyph.left, glyph.top, glyph.right, glyph.bottom, 0xFFFFFF, 2);
      Line(dc, glyph.right - 1, glyph.top, glyph.left - 1, glyph.bottom, 0xFFFFFF, 2);
      break;
    case kNoButtons:
      break;
  }
}

}  // namespace

COLORREF ToColorRef(Rgb rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int PointsToPixels(int points) {
  return static_cast<int>(std::lround(points * kPixelsPerPoint));
}

HFONT MakeFont(const FontStyle& setup) {
  const bool fixed = setup.family != nullptr && std::string(setup.family) == kCourierNew;
  return CreateFontA(
      -PointsToPixels(setup.points), 0, 0, 0, setup.bold ? FW_BOLD : FW_NORMAL, FALSE,
      setup.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
      static_cast<DWORD>((fixed ? FIXED_PITCH : VARIABLE_PITCH) | (fixed ? FF_MODERN : FF_SWISS)),
      setup.family != nullptr ? setup.family : kMsSansSerif);
}

RECT TitleBarRect(const RECT& frame) {
  return {frame.left + 1, frame.top + 1, frame.right - 1, frame.top + 1 + kTitleBarHeight};
}

RECT TitleButtonRect(const RECT& frame, int buttons, TitleButton which) {
  const int top = frame.top + 1 + (kTitleBarHeight - kButtonHeight) / 2;
  int right = frame.right - 1 - kButtonRightMargin;
  for (const TitleButton button : {kClose, kMaximize, kMinimize}) {
    if ((buttons & button) == 0) {
      continue;
    }
    if (button == which) {
      return {right - kButtonWidth, top, right, top + kButtonHeight};
    }
    right -= kButtonWidth + kButtonGap;
  }
  return {0, 0, 0, 0};
}

void PaintFrame(HDC dc, const RECT& frame, bool titleBar, int buttons, bool maximised,
                const std::string& caption, TitleButton hot) {
  FillColour(dc, frame, kClientBackground);
  if (titleBar) {
    const RECT bar = TitleBarRect(frame);
    const RECT upper{bar.left, bar.top, bar.right, (bar.top + bar.bottom) / 2};
    const RECT lower{bar.left, upper.bottom, bar.right, bar.bottom};
    VerticalGradient(dc, upper, kTitleBarTop, 0x1A3A84);
    VerticalGradient(dc, lower, 0x1A3A84, kTitleBarBottom);
    Line(dc, bar.left, bar.top, bar.right, bar.top, 0x5F86D6);
    int textRight = bar.right - kButtonRightMargin;
    for (const TitleButton button : {kMinimize, kMaximize, kClose}) {
      if ((buttons & button) != 0) {
        const RECT r = TitleButtonRect(frame, buttons, button);
        textRight = std::min<int>(textRight, r.left - kButtonGap);
        PaintTitleButton(dc, r, button, maximised, hot == button);
      }
    }
    HFONT font = MakeFont({kTahoma, 8, true});
    const RECT textBox{bar.left + kCaptionLeft, bar.top, textRight, bar.bottom};
    Text(dc, textBox, caption, font, 0xFFFFFF,
         DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    DeleteObject(font);
  }
  Outline(dc, frame, kBorderColour);
}

void PaintPushButton(HDC dc, const RECT& box, const std::string& text, HFONT font, Rgb colour,
                     bool pressed, bool hot, bool focused, bool enabled) {
  if (pressed) {
    VerticalGradient(dc, box, 0xAFC0E0, 0xE4EAF6);
  } else if (hot && enabled) {
    VerticalGradient(dc, box, 0xFFFFFF, 0xC4D4F2);
  } else {
    VerticalGradient(dc, box, 0xFAFBFE, 0xC9D2E6);
  }
  Outline(dc, box, enabled ? 0x1A3A84 : 0x8A94AA);
  if (focused) {
    const RECT inner{box.left + 3, box.top + 3, box.right - 3, box.bottom - 3};
    Outline(dc, inner, 0x1A3A84, 1, PS_DOT);
  }
  RECT textBox = box;
  if (pressed) {
    OffsetRect(&textBox, 1, 1);
  }
  Text(dc, textBox, text, font, enabled ? colour : 0x8A94AA,
       DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintQuestionPicture(HDC dc, const RECT& box, PictureState state) {
  FillColour(dc, box, kClientBackground);
  const int shift = state == PictureState::Pressed ? 1 : 0;
  const RECT plate{box.left + 1 + shift, box.top + 1 + shift, box.right - 2 + shift,
                   box.bottom - 2 + shift};
  Rgb top = 0x5B86D9;
  Rgb bottom = 0x13307A;
  if (state == PictureState::MouseOver) {
    top = 0x8DB0F0;
    bottom = 0x2A52B0;
  } else if (state == PictureState::Pressed) {
    top = 0x0E2666;
    bottom = 0x3F6AC4;
  }
  // Rounded plate: the gradient clipped to a rounded region.
  HRGN rounded =
      CreateRoundRectRgn(plate.left, plate.top, plate.right + 1, plate.bottom + 1, 16, 16);
  SelectClipRgn(dc, rounded);
  VerticalGradient(dc, plate, top, bottom);
  SelectClipRgn(dc, nullptr);
  HBRUSH edge = CreateSolidBrush(ToColorRef(0x061540));
  FrameRgn(dc, rounded, edge, 1, 1);
  DeleteObject(edge);
  DeleteObject(rounded);

  const int height = plate.bottom - plate.top;
  const int discSide = height * 62 / 100;
  const int middle = (plate.top + plate.bottom) / 2;
  PaintDisc(dc, {plate.left + 6, middle - discSide / 2, plate.left + 6 + discSide,
                 middle - discSide / 2 + discSide});
  HFONT font = MakeFont({kVerdana, 22, true});
  const RECT textBox{plate.left + discSide + 6, plate.top, plate.right - 4, plate.bottom};
  Text(dc, textBox, "?", font, state == PictureState::MouseOver ? 0xFFF3A0 : 0xFFFFFF,
       DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  DeleteObject(font);
}

void PaintLogoPicture(HDC dc, const RECT& box) {
  FillColour(dc, box, kClientBackground);
  const int side = box.bottom - box.top - 2;
  PaintDisc(dc, {box.left + 1, box.top + 1, box.left + 1 + side, box.top + 1 + side});
  HFONT font = CreateFontA(-PointsToPixels(9), 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, kVerdana);
  RECT textBox{box.left + side + 4, box.top, box.right, box.bottom};
  RECT shadow = textBox;
  OffsetRect(&shadow, 1, 1);
  Text(dc, shadow, "Krellvane", font, 0x8FA4C8, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  Text(dc, textBox, "Krellvane", font, kNavy, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  DeleteObject(font);
}

}  // namespace kv::ui::win32
