#pragma once
// "?": the short description of the program, read-only.

#include "ui/widgets/centreddialog.h"

namespace vemar::ui {

class HelpWindow : public CentredDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
};

} // namespace vemar::ui
