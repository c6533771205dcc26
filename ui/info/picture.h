#pragma once
// The program's picture, 432 by 298 pixels, drawn by the program.

#include <QPixmap>

namespace vemar::ui {

constexpr int kPictureWidth = 432;
constexpr int kPictureHeight = 298;

QPixmap vemarPicture();

} // namespace vemar::ui

namespace vemar::ui {

// The clock of the picture alone, square, side by side pixels: the program's icon.
QPixmap vemarIcon(int side);

} // namespace vemar::ui
