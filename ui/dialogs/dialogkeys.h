#pragma once
// Enter and Esc in the dialogs that have an OK and an Annulla button: Enter
// confirms and Esc runs Annulla, whichever box has the focus, while the
// close box keeps its own meaning.

#include <QObject>

class QDialog;
class QPushButton;

namespace vemar::ui {

class DialogKeys : public QObject {
    Q_OBJECT
public:
    // Makes ok the default button. Enter while ok is disabled closes the
    // dialog as the close box would: there is nothing new to confirm.
    static void install(QDialog* dialog, QPushButton* ok, QPushButton* cancel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DialogKeys(QDialog* dialog, QPushButton* ok, QPushButton* cancel);
    QDialog* dialog_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

} // namespace vemar::ui
