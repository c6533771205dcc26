#include "ui/system/signalwatcher.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace vemar::ui {

namespace {

constexpr int kWatched[] = {SIGTERM, SIGHUP, SIGINT};
int gPipe[2] = {-1, -1};   // read end, write end
volatile std::sig_atomic_t gEndAsked = 0;
struct sigaction gPrevious[sizeof kWatched / sizeof kWatched[0]];

extern "C" void onEndSignal(int number) {
    const int savedErrno = errno;
    gEndAsked = 1;
    const unsigned char byte = static_cast<unsigned char>(number);
    // A full pipe means an end is already on its way: the byte may be lost.
    (void)!::write(gPipe[1], &byte, 1);
    errno = savedErrno;
}

bool install() {
    const bool piped = ::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) == 0;
    sigset_t watched;
    sigemptyset(&watched);
    for (std::size_t i = 0; i < std::size(kWatched); ++i) {
        sigaddset(&watched, kWatched[i]);
        if (!piped) continue;
        struct sigaction action {};
        action.sa_handler = onEndSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(kWatched[i], &action, &gPrevious[i]);
    }
    // The `vemar` command holds them back until here: one sent while the
    // libraries loaded arrives now, in the handler (without a pipe, by the
    // default action, rather than never).
    ::pthread_sigmask(SIG_UNBLOCK, &watched, nullptr);
    return piped;
}

} // namespace

void SignalWatcher::catchFromNow() {
    if (gPipe[0] < 0) install();
}

bool SignalWatcher::endAsked() { return gEndAsked != 0; }

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (gPipe[0] < 0) {
        if (!install()) return;
        ownsHandlers_ = true;
    }
    notifier_ = std::make_unique<QSocketNotifier>(gPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatcher::drain);
}

SignalWatcher::~SignalWatcher() {
    notifier_.reset();   // it must stop watching before its pipe is closed
    if (!ownsHandlers_) return;
    for (std::size_t i = 0; i < std::size(kWatched); ++i) ::sigaction(kWatched[i], &gPrevious[i], nullptr);
    ::close(gPipe[0]);
    ::close(gPipe[1]);
    gPipe[0] = gPipe[1] = -1;
    gEndAsked = 0;
}

void SignalWatcher::drain() {
    unsigned char byte = 0;
    while (::read(gPipe[0], &byte, 1) == 1) emit endRequested(byte);
}

} // namespace vemar::ui
