#include "ui/dialogs/dialogkeys.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace vemar::ui {

DialogKeys::DialogKeys(QDialog* dialog, QPushButton* ok, QPushButton* cancel)
    : QObject(dialog), dialog_(dialog), ok_(ok), cancel_(cancel) {}

void DialogKeys::install(QDialog* dialog, QPushButton* ok, QPushButton* cancel) {
    // A focused button would otherwise become the default and take Enter.
    for (QPushButton* b : dialog->findChildren<QPushButton*>()) b->setAutoDefault(false);
    ok->setDefault(true);
    dialog->installEventFilter(new DialogKeys(dialog, ok, cancel));
}

// Keys reach the dialog when the box with the focus did not use them. QDialog
// itself would turn Esc into reject(), which skips what Annulla does.
bool DialogKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched != dialog_ || event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & ~Qt::KeypadModifier) return false;
    switch (key->key()) {
    case Qt::Key_Escape:
        if (cancel_->isEnabled()) cancel_->click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (ok_->isEnabled()) ok_->click();
        else dialog_->close();
        return true;
    default:
        return false;
    }
}

} // namespace vemar::ui
