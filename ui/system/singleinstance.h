#pragma once
// One program per settings directory, so that two never overwrite each
// other's settings. The first start takes the directory's lock and answers
// later starts on a local socket named after the directory; a later start
// asks it to bring its window to the front and ends. Each side talks only to
// a program of the same user: anyone can make a name in /tmp first.
//
// The socket is a plain Unix one watched by the event loop, not Qt Network's:
// that library and the ones it loads cost a start 5 ms and the running
// program 1.3 MiB for one line each way.

#include "core/instancelock.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QSocketNotifier;

namespace vemar::ui {

class MainWindow;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(std::filesystem::path dir, QObject* parent = nullptr);
    ~SingleInstance() override;

    // nullopt: this is the first program in the directory and goes on.
    // Otherwise the status this start ends with: 0 after the running program
    // was asked to show its window, 1 when it could not be reached (said on
    // the standard error) or when the lock cannot be taken at all (failure(),
    // for the start to show).
    std::optional<int> claim();
    // Why the lock could not be taken, as the start's message says it; empty
    // unless claim() failed so.
    const std::string& failure() const { return failure_; }
    // The window brought to the front when a later start asks.
    void serve(MainWindow* window);

    // Where the socket for a directory lies, the same for every spelling of
    // its path: in $XDG_RUNTIME_DIR, else in a folder the program makes for
    // this user in the temporary folder. Each must be this user's alone;
    // empty, with why, when neither is.
    static std::string socketPath(const std::filesystem::path& dir, std::string* why = nullptr);

private:
    // A later start that has connected, and what it has sent so far.
    struct Caller {
        std::unique_ptr<QSocketNotifier> readable;
        QByteArray received;
    };
    void listen();
    void acceptCallers();
    void hear(int fd);
    void hangUp(int fd);
    void showWindow();

    std::filesystem::path dir_;
    InstanceLock lock_;
    std::string failure_;
    std::string socket_;   // the socket file this program made
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> calls_;
    std::map<int, Caller> callers_;
    QPointer<MainWindow> window_;
};

} // namespace vemar::ui
