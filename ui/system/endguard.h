#pragma once
// However the program is asked to end, what the user chose since start-up
// (colours, time signal, date characters: seg.dat) is written first, and
// nothing waits for an answer no one will give:
// - SIGTERM, SIGHUP, SIGINT: every open dialog is closed as its close box
//   closes it, then the main window, with every question answered No;
// - the desktop session ends: the session manager's request writes seg.dat;
// - the display connection breaks: Qt's X11 platform ends the program with
//   exit(1) itself, so an exit hook writes seg.dat when shut-down has not run;
//   Qt 6's Wayland platform ends it with _exit(1), which runs no hook at all,
//   so from the first tick after the window shows, seg.dat is kept as a
//   close would write it: rewritten at the tick after each change.

#include <QObject>

namespace vemar {
class Program;
}

namespace vemar::ui {

class MainWindow;
class QtPlatform;
class SignalWatcher;

class EndGuard : public QObject {
    Q_OBJECT
public:
    EndGuard(Program& program, MainWindow& window, QtPlatform& platform);
    // Disarms the exit hook: from here on main's own end is the orderly one.
    ~EndGuard() override;

private:
    void endOnSignal();
    void saveForSessionEnd();
    void keepSettingsCurrent();

    Program& program_;
    MainWindow& window_;
    QtPlatform& platform_;
    SignalWatcher* watcher_ = nullptr;
    bool ending_ = false;
};

} // namespace vemar::ui
