#pragma once
// One program per settings directory, so that two never overwrite each
// other's settings. The first start takes the directory's lock and answers
// later starts on a local socket named after the directory; a later start
// asks it to bring its window to the front and ends.
//
// The socket is a plain Unix one watched by the event loop, not Qt Network's:
// that library and the ones it loads cost a start 5 ms and the running
// program 1.3 MiB for one line each way.

#include "core/instancelock.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

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
    // the standard error).
    std::optional<int> claim();
    // The window brought to the front when a later start asks.
    void serve(MainWindow* window);

    // The socket's name for a directory: the same for every spelling of its path.
    static QString serverName(const std::filesystem::path& dir);
    // Where that socket lies: in the temporary folder, under its name.
    static QString socketPath(const std::filesystem::path& dir);

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
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> calls_;
    std::map<int, Caller> callers_;
    QPointer<MainWindow> window_;
};

} // namespace vemar::ui
