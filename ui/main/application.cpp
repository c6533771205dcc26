#include "ui/main/application.h"

#include "ui/dialogs/openlistcombobox.h"
#include "ui/info/picture.h"
#include "ui/main/panel.h"
#include "ui/widgets/glyphlabel.h"
#include "ui/system/settingsdir.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>
#include <memory>

namespace vemar::ui {

namespace {

// The sizes a window manager picks from, for the title bar to the task
// switcher. Each window sends them all to the display server; a 256-pixel
// one would add a quarter of a MiB that no switcher shows.
constexpr int kIconSides[] = {16, 32, 48, 64, 128};

// The icons installed with the program in the hicolor theme (share/icons
// beside share/vemar) where they are: reading five small files costs a
// fraction of drawing the clock. Elsewhere (a build tree) the clock is drawn
// once and scaled to each size.
QIcon programIcon() {
    const QDir theme(installedDataFolder(QApplication::applicationDirPath()) + QStringLiteral("/../icons/hicolor"));
    const QString name = QString::fromLatin1(kApplicationId) + QStringLiteral(".png");
    QIcon icon;
    for (int side : kIconSides) {
        const QString file = theme.filePath(QStringLiteral("%1x%1/apps/").arg(side) + name);
        if (QFileInfo::exists(file)) icon.addFile(file, QSize(side, side));
    }
    if (!icon.isNull()) return icon;
    const QImage drawing = vemarIconDrawing();
    for (int side : kIconSides) icon.addPixmap(vemarIcon(drawing, side));
    return icon;
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
    // What a screen reader finds in the program's own widgets.
    for (auto factory : {&Panel::accessibleFor, &GlyphLabel::accessibleFor, &OpenListComboBox::accessibleFor})
        QAccessible::installFactory(factory);
}

} // namespace vemar::ui
