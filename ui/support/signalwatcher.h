#pragma once
// Turns the signals that ask a program to end (SIGTERM, SIGHUP, SIGINT) into
// a Qt signal on the user-interface thread. The handler itself only writes
// the signal's number into a pipe, the one thing safe to do at any moment;
// a socket notifier reads it back between events.

#include <QObject>

#include <memory>

class QSocketNotifier;

namespace vemar::ui {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    // Puts back the handlers that were there before.
    ~SignalWatcher() override;

signals:
    void endRequested(int signalNumber);

private:
    void drain();

    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace vemar::ui
