// Vemar: a world clock. It works in the user's settings folder
// (~/.config/vemar), seeded at the first start from the installed data and
// the system's time zone; `--dir DIR` works in another folder instead. A
// folder it cannot use ends the start: it never works anywhere else.

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
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>

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
    // From argv's own bytes, before Qt turns them into text.
    vemar::ui::Folders folders = vemar::ui::chooseFolders(argc, argv);
    if (!folders.error.empty()) {
        std::fprintf(stderr, "vemar: %s\n", folders.error.c_str());
        return folders.status;
    }
    if (!haveDisplay()) {
        std::fprintf(stderr, "vemar: no display (DISPLAY and WAYLAND_DISPLAY are not set): "
                             "run it in a desktop session.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vemar::ui::kApplicationId));
    vemar::ui::setUpLook(app);
    if (vemar::ui::SignalWatcher::endAsked()) return 0;

    vemar::ui::QtPlatform platform;
    // Until the window's own guard takes over, an end signal answers an open
    // message box (a folder, a lock or a file that stops the start) as its OK
    // would: the start ends with status 1, having written nothing.
    auto startWatcher = std::make_unique<vemar::ui::SignalWatcher>();
    QObject::connect(startWatcher.get(), &vemar::ui::SignalWatcher::endRequested, [&] { platform.setUnattended(); });
    // Nowhere else: without its settings folder the program does not run.
    if (!vemar::ui::enterWorkFolder(folders)) {
        platform.showStartError(folders.error);
        return folders.status;
    }
    // Before the first start fills the folder and start-up clears what a
    // killed write left in it.
    vemar::ui::SingleInstance instance(folders.work);
    if (const auto status = instance.claim()) {
        if (!instance.failure().empty()) platform.showStartError(instance.failure());
        return *status;
    }
    if (vemar::ui::SignalWatcher::endAsked()) return 0;
    vemar::ui::prepareWorkFolder(folders);

    const vemar::SystemZoneDatabase zones;
    vemar::Program program(platform, folders.work);
    program.setDataDir(folders.data);
    if (!program.startUp()) return 1;

    vemar::ui::MainWindow window(program);
    platform.setDialogParent(&window);
    window.tickOnce();
    if (program.failed()) return 1;
    if (vemar::ui::SignalWatcher::endAsked()) return 0;   // nothing changed yet, nothing to save
    startWatcher.reset();   // a signal noted but not yet read waits for the guard's watcher
    vemar::ui::EndGuard endGuard(program, window, platform);
    QObject::connect(&window, &vemar::ui::MainWindow::failed, &app, [&] { app.exit(1); },
                     Qt::QueuedConnection);
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
