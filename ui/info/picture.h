#pragma once
// The program's picture, 432 by 298 pixels, and its icon, both drawn by the
// program.

#include <QImage>
#include <QPixmap>

namespace vemar::ui {

constexpr int kPictureWidth = 432;
constexpr int kPictureHeight = 298;

// Drawn at the first call; later calls return the same picture.
QPixmap vemarPicture();

// The clock of the picture alone, on a transparent square of
// kIconDrawnSide pixels: the program's icon, drawn large so that the sizes
// scaled down from it stay smooth.
constexpr int kIconDrawnSide = 512;
QImage vemarIconDrawing();
// The drawing scaled to side by side pixels.
QPixmap vemarIcon(const QImage& drawing, int side);

} // namespace vemar::ui
