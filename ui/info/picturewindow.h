#pragma once
// The program's picture with its name: at start-up, closed by a click
// or by the start-up count, and, for the information, the same picture with an OK button,
// from the Informazioni menu. Neither reads or changes any setting.

#include "ui/widgets/centreddialog.h"

namespace vemar::ui {

class PictureWindow : public CentredDialog {
    Q_OBJECT
public:
    enum class Kind { Startup, Information };   // at start-up, for the information
    PictureWindow(Kind kind, QWidget* parent = nullptr);
signals:
    // At start-up only: a click anywhere on the picture, which then closes it.
    void pictureClicked();
protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vemar::ui
