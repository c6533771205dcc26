#include "ui/support/signalwatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace vemar::ui {

namespace {

constexpr int kWatched[] = {SIGTERM, SIGHUP, SIGINT};
int gPipe[2] = {-1, -1};   // read end, write end
struct sigaction gPrevious[sizeof kWatched / sizeof kWatched[0]];

extern "C" void onEndSignal(int number) {
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe means an end is already on its way: the byte may be lost.
    (void)!::write(gPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatcher::drain);
    struct sigaction action {};
    action.sa_handler = onEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kWatched); ++i) ::sigaction(kWatched[i], &action, &gPrevious[i]);
}

SignalWatcher::~SignalWatcher() {
    if (!notifier_) return;
    for (std::size_t i = 0; i < std::size(kWatched); ++i) ::sigaction(kWatched[i], &gPrevious[i], nullptr);
    notifier_.reset();   // it must stop watching before its pipe is closed
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
}

void SignalWatcher::drain() {
    unsigned char byte = 0;
    while (::read(gPipe[0], &byte, 1) == 1) emit endRequested(byte);
}

} // namespace vemar::ui
