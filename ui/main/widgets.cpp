#include "ui/main/widgets.h"

#include <QMouseEvent>
#include <QToolButton>

namespace vemar::ui {

Panel::Panel(QWidget* parent, bool raised) : QLabel(parent) {
    setFrameStyle(QFrame::Panel | (raised ? QFrame::Raised : QFrame::Sunken));
    setLineWidth(2);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
}

void Panel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

UpDown::UpDown(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    up_->setObjectName("up");
    down_->setObjectName("down");
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setAutoRepeat(true);
    down_->setAutoRepeat(true);
    connect(up_, &QToolButton::clicked, this, &UpDown::upClicked);
    connect(down_, &QToolButton::clicked, this, &UpDown::downClicked);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

} // namespace vemar::ui
