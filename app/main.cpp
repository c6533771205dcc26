// Vemar: a world clock. It works in the user's settings folder
// (~/.config/vemar), seeded at the first start from the installed data and
// the system's time zone; `--dir DIR` works in another folder instead.

#include "core/program.h"
#include "core/time/systemzones.h"
#include "ui/main/application.h"
#include "ui/main/mainwindow.h"
#include "ui/widgets/centreddialog.h"
#include "ui/system/endguard.h"
#include "ui/system/qtplatform.h"
#include "ui/system/settingsdir.h"
#include "ui/system/signalwatcher.h"
#include "ui/system/singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

bool haveDisplay() {
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    // First of all: an end signal while the start-up takes its time is noted
    // rather than killing the program; the start-up then stops at its next
    // step with status 0, and once the window exists it closes as usual.
    vemar::ui::SignalWatcher::catchFromNow();
    if (!haveDisplay()) {
        std::fprintf(stderr, "vemar: no display (DISPLAY and WAYLAND_DISPLAY are not set): "
                             "run it in a desktop session.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vemar::ui::kApplicationId));
    vemar::ui::setUpLook(app);
    if (vemar::ui::SignalWatcher::endAsked()) return 0;

    const vemar::ui::Folders folders =
        vemar::ui::chooseFolders(QApplication::arguments(), QApplication::applicationDirPath());
    if (!folders.error.isEmpty()) {
        std::fprintf(stderr, "vemar: %s\n", qPrintable(folders.error));
        return 64;
    }
    vemar::ui::enterWorkFolder(folders);

    const std::filesystem::path dir = QDir::currentPath().toStdString();
    // Before start-up, which clears what a killed write left in the directory.
    vemar::ui::SingleInstance instance(dir);
    if (const auto status = instance.claim()) return *status;
    if (vemar::ui::SignalWatcher::endAsked()) return 0;

    vemar::ui::QtPlatform platform;
    const vemar::SystemZoneDatabase zones;
    vemar::Program program(platform, dir);
    program.setDataDir(folders.data.toStdString());
    if (!program.startUp()) return 1;

    vemar::ui::MainWindow window(program);
    vemar::ui::EndGuard endGuard(program, window, platform);
    platform.setDialogParent(&window);
    QObject::connect(&window, &vemar::ui::MainWindow::failed, &app, [&] { app.exit(1); },
                     Qt::QueuedConnection);
    window.tickOnce();
    if (program.failed()) return 1;
    if (vemar::ui::SignalWatcher::endAsked()) return 0;   // nothing changed yet, nothing to save
    vemar::ui::centreOnScreen(&window);
    window.show();
    // The zone database is read once the window is on its way to the screen.
    QTimer::singleShot(0, &window, [&] {
        program.attachZoneDatabase(zones);
        window.tickOnce();
    });
    instance.serve(&window);
    window.startClock();
    window.showStartupPicture();
    const int status = app.exec();
    // A fatal file error during shut-down may come after the last window
    // closed with status 0: the program's own record decides.
    return program.failed() ? 1 : status;
}
