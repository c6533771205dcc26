#pragma once
// A keystroke in a box whose text the core filters: the core's view is
// rendered at once, then the caret is put back where the user was typing
// (QLineEdit::setText would send it to the end).

#include "core/caret.h"

#include <QLineEdit>

namespace vemar::ui {

// typed: the box's text after the keystroke; handOver: gives it to the core
// and renders the core's view of the box.
template <class HandOver> void editFiltered(QLineEdit* box, const QString& typed, HandOver&& handOver) {
    const int caret = box->cursorPosition();
    handOver();
    const QString shown = box->text();
    if (shown != typed)
        box->setCursorPosition(CaretAfterFilter(static_cast<int>(typed.size()), caret,
                                                static_cast<int>(shown.size())));
}

} // namespace vemar::ui
