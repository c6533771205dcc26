#include "ui/system/singleinstance.h"

#include "core/texts.h"
#include "ui/main/mainwindow.h"
#include "ui/widgets/viewbinder.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vemar::ui {

namespace {

constexpr QByteArrayView kShowRequest = "show\n";
constexpr QByteArrayView kShown = "ok\n";
// The holder may be a moment away from listening (it takes the lock first),
// or busy with a tick: a few seconds cover both.
constexpr int kAnswerMs = 3000;
constexpr int kRetryMs = 100;
// Longer than any request: a caller that sends more is not a later start.
constexpr qsizetype kLongestRequest = 64;

void say(std::string_view text, const std::string& detail) {
    std::fprintf(stderr, "vemar: %.*s%s\n", int(text.size()), text.data(), detail.c_str());
}

// The address of a socket file; false when the path does not fit one.
bool addressOf(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

int newSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

// The program at the other end runs as this user: another user's listener
// is never asked, nor another user's call answered.
bool peerIsThisUser(int fd) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

// A folder of this user's alone: itself (not a link to elsewhere), owned by
// this user, closed to everyone else.
bool isPrivateFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// $XDG_RUNTIME_DIR as the session made it (mode 0700); without it, a folder
// of the program's own under $TMPDIR or /tmp, made now or at an earlier start.
std::string socketFolder(std::string* why) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && isPrivateFolder(runtime)) return runtime;
    const char* tmp = std::getenv("TMPDIR");
    const std::string own = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/vemar-" + std::to_string(::geteuid());
    if (::mkdir(own.c_str(), S_IRWXU) != 0 && errno != EEXIST) {
        if (why) *why = own + ": " + std::strerror(errno);
        return {};
    }
    if (isPrivateFolder(own)) return own;
    if (why) *why = std::string(texts::kSocketFolderNotPrivate) + own;
    return {};
}

// Waits for fd to be ready for events until the deadline; false on timeout.
bool await(int fd, short events, const QDeadlineTimer& deadline) {
    pollfd p{fd, events, 0};
    int result;
    do result = ::poll(&p, 1, int(deadline.remainingTime()));
    while (result < 0 && errno == EINTR);
    return result > 0;
}

// True once the program listening at path has answered the request.
bool askToShow(const std::string& path) {
    sockaddr_un address;
    if (!addressOf(path, address)) return false;
    const QDeadlineTimer deadline(kAnswerMs);
    while (!deadline.hasExpired()) {
        const int fd = newSocket();
        if (fd < 0) return false;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            QThread::msleep(kRetryMs);
            continue;
        }
        bool shown = peerIsThisUser(fd) && ::send(fd, kShowRequest.data(), size_t(kShowRequest.size()),
                                                  MSG_NOSIGNAL) == kShowRequest.size();
        QByteArray reply;
        while (shown && !reply.contains(kShown) && await(fd, POLLIN, deadline)) {
            char buffer[64];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            reply.append(buffer, n);
        }
        ::close(fd);
        return shown && reply.contains(kShown);
    }
    return false;
}

} // namespace

SingleInstance::SingleInstance(std::filesystem::path dir, QObject* parent)
    : QObject(parent), dir_(std::move(dir)) {}

SingleInstance::~SingleInstance() {
    for (auto& [fd, caller] : callers_) ::close(fd);
    callers_.clear();
    calls_.reset();
    if (listener_ >= 0) {
        ::close(listener_);
        ::unlink(socket_.c_str());
    }
}

void SingleInstance::serve(MainWindow* window) { window_ = window; }

// Named after the directory's real path, as bytes: a name that is no UTF-8
// is a folder of its own.
std::string SingleInstance::socketPath(const std::filesystem::path& dir, std::string* why) {
    const std::string folder = socketFolder(why);
    if (folder.empty()) return {};
    char* real = ::realpath(dir.c_str(), nullptr);
    const QByteArray path = real ? QByteArray(real) : QByteArray(dir.c_str());
    std::free(real);
    const QByteArray hash = QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex();
    return folder + "/vemar-" + hash.left(32).toStdString();
}

std::optional<int> SingleInstance::claim() {
    switch (lock_.take(dir_)) {
    case InstanceLock::Outcome::Taken:
        listen();
        return std::nullopt;
    case InstanceLock::Outcome::Failed:
        failure_ = LockFailedText(dir_, lock_.error());   // the start shows it
        return 1;
    case InstanceLock::Outcome::Held:
        break;
    }
    if (askToShow(socketPath(dir_))) return 0;
    say(texts::kInstanceUnreachable, dir_.string());
    return 1;
}

// Only the lock holder gets here: a socket file of that name was left by a
// holder killed earlier. No one but this user can enter its folder.
void SingleInstance::listen() {
    std::string why;
    const std::string path = socketPath(dir_, &why);
    sockaddr_un address;
    const char* failed = nullptr;
    if (path.empty()) {
        std::fprintf(stderr, "vemar: %s\n", why.c_str());
        return;
    }
    if (!addressOf(path, address)) {
        errno = ENAMETOOLONG;
        failed = "cannot name the socket";
    } else {
        ::unlink(path.c_str());
        listener_ = newSocket();
        if (listener_ < 0) failed = "cannot make the socket";
        else if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            failed = "cannot bind the socket";
        else if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0) failed = "cannot restrict the socket";
        else if (::listen(listener_, 8) != 0) failed = "cannot listen";
    }
    if (failed) {
        std::fprintf(stderr, "vemar: %s: %s: %s\n", path.c_str(), failed, std::strerror(errno));
        if (listener_ >= 0) ::close(listener_);
        listener_ = -1;
        return;
    }
    socket_ = path;
    ::fcntl(listener_, F_SETFL, ::fcntl(listener_, F_GETFL) | O_NONBLOCK);
    calls_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    connect(calls_.get(), &QSocketNotifier::activated, this, &SingleInstance::acceptCallers);
}

void SingleInstance::acceptCallers() {
    int fd;
    while ((fd = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0) {
        if (!peerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        Caller& caller = callers_[fd];
        caller.readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(caller.readable.get(), &QSocketNotifier::activated, this, [this, fd] { hear(fd); });
        hear(fd);   // the request may have come with the connection
    }
}

// Reads what the caller sent; a whole line ends the call, answered when it
// is the request to show the window.
void SingleInstance::hear(int fd) {
    const auto found = callers_.find(fd);
    if (found == callers_.end()) return;
    QByteArray& received = found->second.received;
    char buffer[64];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) received.append(buffer, n);
    const bool ended = n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
    const qsizetype lineEnd = received.indexOf('\n');
    if (lineEnd >= 0) {
        if (received.left(lineEnd + 1) == kShowRequest) {
            showWindow();
            ::send(fd, kShown.data(), size_t(kShown.size()), MSG_NOSIGNAL);
        }
        hangUp(fd);
    } else if (ended || received.size() > kLongestRequest) {
        hangUp(fd);
    }
}

void SingleInstance::hangUp(int fd) {
    const auto found = callers_.find(fd);
    if (found == callers_.end()) return;
    // hear() may run from this notifier's own signal: it goes once that returns.
    found->second.readable->setEnabled(false);
    found->second.readable.release()->deleteLater();
    callers_.erase(found);
    ::close(fd);
}

// The main window comes back from the task bar, and the topmost window,
// which is a modal dialog when one is open, comes to the front. Under
// Wayland no program may restore, raise or focus its own window: it can
// only ask the compositor through xdg-activation, which activateWindow()
// does where the compositor offers it (Qt 6.4 asks only while the program
// has the focus; the token it holds from its own start is spent on the
// first window). Weston 10 offers no xdg-activation: there the window
// stays where it is, and the later start ends as on X11.
void SingleInstance::showWindow() {
    if (!window_ || !window_->isVisible()) return;
    QWidget* top = window_->openWindows().constLast();
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {   // also wayland-egl
        window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
        window_->show();
        top->raise();
    }
    top->activateWindow();
}

} // namespace vemar::ui
