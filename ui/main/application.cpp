#include "ui/main/application.h"

#include "ui/info/picture.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>
#include <memory>

namespace vemar::ui {

namespace {

// The installed theme icon where the desktop has it, else the clock drawn here.
QIcon programIcon() {
    QIcon fallback;
    for (int side : {16, 32, 48, 64, 128, 256}) fallback.addPixmap(vemarIcon(side));
    return QIcon::fromTheme(QString::fromLatin1(kApplicationId), fallback);
}

} // namespace

bool loadItalianQtTexts(QApplication& app) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    // The application owns it from here, for as long as it runs.
    translator->setParent(&app);
    return QApplication::installTranslator(translator.release());
}

void setUpLook(QApplication& app) {
    app.setStyle(QStyleFactory::create("Fusion"));
    QFont font("Liberation Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    app.setFont(font);
    QApplication::setWindowIcon(programIcon());
    loadItalianQtTexts(app);
}

} // namespace vemar::ui
