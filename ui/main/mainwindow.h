#pragma once
// The main window: renders the program's view and forwards every
// click, keystroke and timer event to the core.

#include "ui/widgets/viewbinder.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <chrono>
#include <cstdio>
#include <map>

class QAction;
class QDialog;
class QLineEdit;
class QTimer;

namespace vemar {
class Program;
struct MenuItem;
}

namespace vemar::ui {

enum class ControlKind : int;

// Milliseconds from `now` to the next tick of the running clock: the fast
// rate while the program needs it, else a few milliseconds past the next
// whole second of the system clock, when the shown second changes.
int NextTickDelayMs(std::chrono::system_clock::time_point now, bool fast);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Program& program, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The timer of the real program (Timer1): a tick just after each whole
    // second of the system clock, 64 a second (16 ms) while the program
    // needs fast ticks, and one at once after any user action. With
    // VEMAR_TICK_LOG set, each tick that shows a new second appends that
    // second and its delay to the file it names.
    void startClock();
    // One tick of the clock, then a render of everything that changed.
    void tickOnce();
    void render();
    void showStartupPicture();

    Program& program() { return program_; }
    // The main window and every modal window open over it, the topmost last.
    QList<QWidget*> openWindows() const;

signals:
    // A fatal file error was reported: the program must end with status 1.
    void failed();
    // A tick ran and its view is on the screen; a user's command ticks too.
    void ticked();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Every click and keystroke of the application, dialogs included.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls(QWidget* client);
    QWidget* makeControl(ControlKind kind, ControlView& view, QWidget* parent, int left, int top, int width,
                         int height);
    void connectControls(const std::map<const ControlView*, QWidget*>& made);
    void buildMenus();
    void menuCommand(const MenuItem& item);
    // Runs a command of the core, then renders and checks for a fatal error.
    template <class Fn> void command(Fn&& fn);
    void showModal(QDialog* dialog);
    void timerTick();
    void armTimer();
    // A user action may have changed what the window shows: tick at once.
    void tickSoon();
    void logTick(std::chrono::system_clock::time_point start);
    void openInformation();
    void openHelp();

    Program& program_;
    ViewBinder binder_;
    QTimer* timer_ = nullptr;
    std::FILE* tickLog_ = nullptr;
    long long lastLoggedSecond_ = -1;
    QLineEdit* zoneBox_ = nullptr;
    QPointer<QDialog> startupPicture_;
    QList<QPointer<QDialog>> dialogs_;
    bool shutDownDone_ = false;
};

} // namespace vemar::ui
