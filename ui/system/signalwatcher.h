#pragma once
// Turns the signals that ask a program to end (SIGTERM, SIGHUP, SIGINT) into
// a Qt signal on the user-interface thread. The handler itself only notes
// the signal and writes its number into a pipe, the one thing safe to do at
// any moment; a socket notifier reads it back between events.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace vemar::ui {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    // Installs the handler for the rest of the run, before anything that
    // takes time: a signal while Qt connects to the display or the window is
    // built must not end the program by its default action. What arrives
    // before a watcher exists waits in the pipe for the first one. The end
    // signals are then let through, for the `vemar` command starts the
    // program with them held back (app/launcher.cpp).
    static void catchFromNow();
    // Whether an end signal has arrived since the handler was installed; the
    // start-up asks it between its steps, before there is an event loop.
    static bool endAsked();

    // Installs the handler itself unless catchFromNow() did.
    explicit SignalWatcher(QObject* parent = nullptr);
    // Puts back the handlers that were there before, unless catchFromNow()
    // installed them: then they stay, so that a signal during the last
    // steps of the end is only noted.
    ~SignalWatcher() override;

signals:
    void endRequested(int signalNumber);

private:
    void drain();

    std::unique_ptr<QSocketNotifier> notifier_;
    bool ownsHandlers_ = false;
};

} // namespace vemar::ui
