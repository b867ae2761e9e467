// The "DeepBlue" look shared by every window: colours, the title bar's measures and the fonts.
//
// Layouts are given in pixels at 96 dpi and are not rescaled, so fonts are set in pixels too
// (8 pt = 11 px, 9 pt = 12 px) and the classic family names are mapped onto installed,
// metric-compatible fonts.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include "ui/skin_look.h"

namespace kv::ui {

// Pixel size of a point size at 96 dpi, rounded: 8 -> 11, 9 -> 12.
int PointsToPixels(int points);

// Maps the classic family names onto installed fonts; safe to call more than once.
void InstallFontSubstitutions();

// A font of the layout tables: family, size in points at 96 dpi, bold.
QFont SkinFont(const char* family, int points, bool bold = false);

// Sets a widget's text colour (WindowText, Text and ButtonText roles).
void SetTextColour(QWidget* widget, QColor colour);

// Turns a top-level widget into a skinned window: no system frame (the SuiForm draws it), the
// chrome colour around the frame, the default font MS Sans Serif 8 pt.
void ApplySkinWindow(QWidget* window, Qt::WindowFlags extraFlags = {});

}  // namespace kv::ui
