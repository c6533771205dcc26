#include "picture.h"

#include <QPainter>
#include <QRadialGradient>

namespace vemar::ui {

QPixmap vemarPicture() {
    QPixmap pixmap(kPictureWidth, kPictureHeight);
    QPainter p(&pixmap);
    QRadialGradient shade(pixmap.rect().center(), kPictureWidth * 0.6);
    shade.setColorAt(0, QColor(40, 70, 200));
    shade.setColorAt(1, QColor(240, 140, 40));
    p.fillRect(pixmap.rect(), shade);
    return pixmap;
}

} // namespace vemar::ui
