#pragma once
// Windows that open in the middle of the screen rather than where the
// window manager would put them.

#include <QDialog>

namespace vemar::ui {

// Within the available area (panels and docks left out), and never off it,
// whatever the scale factor makes of the window's size.
void centreOnScreen(QWidget* window);

// A dialog centred on the screen when it first shows; later shows keep the
// place the user moved it to.
class CentredDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;
protected:
    void showEvent(QShowEvent* event) override;
private:
    bool centred_ = false;
};

} // namespace vemar::ui
