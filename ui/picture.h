#pragma once
// The program's picture, 432 by 298 pixels, drawn by the program.

#include <QPixmap>

namespace vemar::ui {

constexpr int kPictureWidth = 432;
constexpr int kPictureHeight = 298;

QPixmap vemarPicture();

} // namespace vemar::ui
