#pragma once
// What the program and its tools share in setting up Qt.

class QApplication;

namespace vemar::ui {

// The Fusion style and the window font, the same on every desktop.
void setUpLook(QApplication& app);

} // namespace vemar::ui
