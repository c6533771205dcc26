#include "ui/dialogs/mouseonlycombobox.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QWheelEvent>

namespace vemar::ui {

MouseOnlyComboBox::MouseOnlyComboBox(QWidget* parent) : QComboBox(parent) {
    // view() creates the popup, whose own filter on the view chooses the
    // current entry on Enter; a filter installed later runs first.
    view()->installEventFilter(this);
}

// Ignored rather than accepted: the dialog still sees Esc and Enter.
void MouseOnlyComboBox::keyPressEvent(QKeyEvent* event) { event->ignore(); }
void MouseOnlyComboBox::keyReleaseEvent(QKeyEvent* event) { event->ignore(); }
void MouseOnlyComboBox::wheelEvent(QWheelEvent* event) { event->ignore(); }

bool MouseOnlyComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view() && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
                              event->type() == QEvent::ShortcutOverride)) {
        // Esc closes the popup without choosing; every other key is dropped.
        if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape) return true;
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace vemar::ui
