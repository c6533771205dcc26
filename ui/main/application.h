#pragma once
// What the program and its tools share in setting up Qt.

#include <QString>

class QApplication;

namespace vemar::ui {

// The one name of the program on the desktop: its launcher, its metadata,
// its icons and its windows.
inline constexpr const char* kApplicationId = "it.vemar.Vemar";

// The Fusion style, the window font, the program's icon, and Qt's own texts
// (question buttons, the text boxes' menus) in Italian, and what a screen
// reader finds in the program's own widgets.
void setUpLook(QApplication& app);

// Qt's Italian translation from the system's translations folder; false when
// it is not installed, and the standard texts stay English.
bool loadItalianQtTexts(QApplication& app);

} // namespace vemar::ui
