// The program's own pictures, drawn with QPainter so that no image files are needed.
#pragma once

#include <QPixmap>
#include <QSize>

#include "ui/toolkit_types.h"

namespace kv::ui {

// The "?" of the media check button in one of its three states.
QPixmap DrawQuestionPicture(QSize size, PictureState state);

// The logo of the main window: a disc and the program's name.
QPixmap DrawLogoPicture(QSize size);

QPixmap DrawDialogIcon(DialogIcon icon, int side);

}  // namespace kv::ui
