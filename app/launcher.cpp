// The command a user runs, `vemar`: it holds back the signals that ask a
// program to end (SIGTERM, SIGHUP, SIGINT) and becomes the program itself.
// Loading Qt and the libraries under it takes the program tens of
// milliseconds before any of its own code runs, 70 on a busy machine; an
// end asked then would kill it by the signal's default action. A signal
// held back here stays pending across exec until the program, first thing,
// installs its handler and lets it through: an end asked at any moment of
// the start is an orderly one. Plain C library calls only, so that this
// command itself loads in a millisecond or two.

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#ifndef VEMAR_PROGRAM_FROM_BIN
#define VEMAR_PROGRAM_FROM_BIN "../libexec/vemar/vemar-window"
#endif

int main(int, char* argv[]) {
    sigset_t ends;
    sigemptyset(&ends);
    sigaddset(&ends, SIGTERM);
    sigaddset(&ends, SIGHUP);
    sigaddset(&ends, SIGINT);
    sigprocmask(SIG_BLOCK, &ends, nullptr);

    // The program lies where it was installed beside this command, also
    // when the command is reached through a link.
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        std::fprintf(stderr, "vemar: cannot find the program from /proc/self/exe: %s\n", std::strerror(errno));
        return 127;
    }
    self[length] = '\0';
    std::strrchr(self, '/')[1] = '\0';   // a path the kernel gives is absolute
    char program[PATH_MAX + sizeof VEMAR_PROGRAM_FROM_BIN];
    std::snprintf(program, sizeof program, "%s%s", self, VEMAR_PROGRAM_FROM_BIN);
    execv(program, argv);
    std::fprintf(stderr, "vemar: cannot start %s: %s\n", program, std::strerror(errno));
    return 127;
}
