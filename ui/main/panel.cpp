#include "ui/main/panel.h"

#include <QMouseEvent>

namespace vemar::ui {

Panel::Panel(QWidget* parent, bool raised) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | (raised ? QFrame::Raised : QFrame::Sunken));
    setLineWidth(2);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
}

// A press that slides off the panel before the release is no click, as with
// a button.
void Panel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

} // namespace vemar::ui
