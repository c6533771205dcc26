#include "ui/system/endguard.h"

#include "core/files.h"
#include "core/program.h"
#include "ui/main/mainwindow.h"
#include "ui/system/qtplatform.h"
#include "ui/system/signalwatcher.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace vemar::ui {

namespace {

// The program whose seg.dat the exit hook writes; null while disarmed.
Program* gArmed = nullptr;

// Runs inside exit(), perhaps called from deep within Qt: only the core's
// plain file code, no Qt and no platform (which would show a box).
extern "C" void saveAtExit() {
    Program* program = gArmed;
    gArmed = nullptr;
    if (!program || program->shutDownStarted() || program->failed()) return;
    try {
        WriteDisplaySettings(program->file(kDisplayFile), program->displaySettingsToSave());
    } catch (const FileError& e) {
        std::fprintf(stderr, "vemar: %s: %s\n", e.file.c_str(), e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vemar: %s: %s\n", kDisplayFile, e.what());
    }
}

} // namespace

EndGuard::EndGuard(Program& program, MainWindow& window, QtPlatform& platform)
    : program_(program), window_(window), platform_(platform), watcher_(new SignalWatcher(this)) {
    connect(watcher_, &SignalWatcher::endRequested, this, &EndGuard::endOnSignal);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &EndGuard::saveForSessionEnd);
    connect(&window_, &MainWindow::ticked, this, &EndGuard::keepSettingsCurrent);
    static const bool hooked = std::atexit(saveAtExit) == 0;
    if (hooked) gArmed = &program_;
}

EndGuard::~EndGuard() {
    gArmed = nullptr;
}

// As the user would end it, with no one to answer: the dialogs first, the
// topmost first (an editor's close commits its staged save), then the main
// window's shut-down, which writes seg.dat and, with the question answered
// No, leaves lxp2.par as it is.
void EndGuard::endOnSignal() {
    if (ending_) return;
    ending_ = true;
    platform_.setUnattended();
    const QList<QWidget*> windows = window_.openWindows();
    for (qsizetype i = windows.size() - 1; i >= 1; --i) windows[i]->close();
    // False while the main window is already closing (a question of its
    // shut-down was open): that close ends the program by itself.
    if (window_.close()) QCoreApplication::exit(program_.failed() ? 1 : 0);
}

// The session may end the program without a close: keep the display state
// now, and go on running as before.
void EndGuard::saveForSessionEnd() {
    if (program_.shutDownStarted()) return;
    program_.saveDisplaySettings();
    window_.render();   // reports a failed write as every command does
}

// Not before the window shows: an end asked during the start touches no file.
void EndGuard::keepSettingsCurrent() {
    if (window_.isVisible()) program_.keepDisplaySettingsCurrent();
}

} // namespace vemar::ui
