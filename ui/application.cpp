#include "application.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace vemar::ui {

void setUpLook(QApplication& app) {
    app.setStyle(QStyleFactory::create("Fusion"));
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    app.setFont(font);
}

} // namespace vemar::ui
