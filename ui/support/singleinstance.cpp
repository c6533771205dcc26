#include "ui/support/singleinstance.h"

#include "core/texts.h"
#include "ui/main/mainwindow.h"
#include "ui/support/viewbinder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cstdio>

namespace vemar::ui {

namespace {

constexpr QByteArrayView kShowRequest = "show\n";
constexpr QByteArrayView kShown = "ok\n";
// The holder may be a moment away from listening (it takes the lock first),
// or busy with a tick: a few seconds cover both.
constexpr int kAnswerMs = 3000;
constexpr int kRetryMs = 100;

// True once the program at name has answered the request.
bool askToShow(const QString& name) {
    const QDeadlineTimer deadline(kAnswerMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(int(deadline.remainingTime()))) {
            socket.write(kShowRequest.data(), kShowRequest.size());
            QByteArray reply;
            while (!reply.contains(kShown) && socket.waitForReadyRead(int(deadline.remainingTime())))
                reply += socket.readAll();
            return reply.contains(kShown);
        }
        QThread::msleep(kRetryMs);
    }
    return false;
}

void say(std::string_view text, const std::string& detail) {
    std::fprintf(stderr, "vemar: %.*s%s\n", int(text.size()), text.data(), detail.c_str());
}

} // namespace

SingleInstance::SingleInstance(std::filesystem::path dir, QObject* parent)
    : QObject(parent), dir_(std::move(dir)) {}

void SingleInstance::serve(MainWindow* window) { window_ = window; }

QString SingleInstance::serverName(const std::filesystem::path& dir) {
    QString path = QFileInfo(QString::fromStdString(dir.string())).canonicalFilePath();
    if (path.isEmpty()) path = QString::fromStdString(dir.string());
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QStringLiteral("vemar-") + QString::fromLatin1(hash.left(32));
}

std::optional<int> SingleInstance::claim() {
    switch (lock_.take(dir_)) {
    case InstanceLock::Outcome::Taken:
        listen();
        return std::nullopt;
    case InstanceLock::Outcome::Failed:
        // A directory that cannot hold the lock cannot hold the settings
        // either: the program runs and its first write will say so.
        say(texts::kInstanceLockFailed, lock_.error());
        return std::nullopt;
    case InstanceLock::Outcome::Held:
        break;
    }
    if (askToShow(serverName(dir_))) return 0;
    say(texts::kInstanceUnreachable, dir_.string());
    return 1;
}

// A holder killed earlier left its socket file behind: only the lock holder
// gets here, so whatever has the name is stale.
void SingleInstance::listen() {
    const QString name = serverName(dir_);
    QLocalServer::removeServer(name);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name)) {
        std::fprintf(stderr, "vemar: %s: %s\n", qPrintable(name), qPrintable(server_->errorString()));
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
            if (socket->bytesAvailable() > 0) answer(socket);
        }
    });
}

void SingleInstance::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) return;
    if (socket->readLine() == kShowRequest) {
        showWindow();
        socket->write(kShown.data(), kShown.size());
        socket->flush();
    }
    socket->disconnectFromServer();
}

// The main window comes back from the task bar, and the topmost window,
// which is a modal dialog when one is open, comes to the front.
void SingleInstance::showWindow() {
    if (!window_ || !window_->isVisible()) return;
    window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    QWidget* top = window_->openWindows().constLast();
    top->raise();
    top->activateWindow();
}

} // namespace vemar::ui
