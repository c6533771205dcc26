#pragma once
// One program per settings directory, so that two never overwrite each
// other's settings. The first start takes the directory's lock and answers
// later starts on a local socket named after the directory; a later start
// asks it to bring its window to the front and ends.

#include "core/instancelock.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <filesystem>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace vemar::ui {

class MainWindow;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(std::filesystem::path dir, QObject* parent = nullptr);

    // nullopt: this is the first program in the directory and goes on.
    // Otherwise the status this start ends with: 0 after the running program
    // was asked to show its window, 1 when it could not be reached (said on
    // the standard error).
    std::optional<int> claim();
    // The window brought to the front when a later start asks.
    void serve(MainWindow* window);

    // The socket's name for a directory: the same for every spelling of its path.
    static QString serverName(const std::filesystem::path& dir);

private:
    void listen();
    void answer(QLocalSocket* socket);
    void showWindow();

    std::filesystem::path dir_;
    InstanceLock lock_;
    QLocalServer* server_ = nullptr;
    QPointer<MainWindow> window_;
};

} // namespace vemar::ui
