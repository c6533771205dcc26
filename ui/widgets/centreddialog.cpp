#include "ui/widgets/centreddialog.h"

#include "core/placement.h"

#include <QApplication>
#include <QScreen>

namespace vemar::ui {

void centreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const WindowPosition at = CentredPosition({area.x(), area.y(), area.width(), area.height()},
                                              frame.width(), frame.height());
    window->move(window->pos() + QPoint(at.left, at.top) - frame.topLeft());
}

void CentredDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!centred_) {
        centred_ = true;
        centreOnScreen(this);
    }
}

} // namespace vemar::ui
