// mapped-after: starts a program and prints how many milliseconds passed
// from its exec to the first showing of its window TITLE, then its peak
// resident memory so far, and ends it (SIGTERM, SIGKILL after 5 s).
//
//   mapped-after [--wayland] [--linger MS] TITLE PROGRAM [ARG...]
//
// Prints "MS CPU_MS PEAK_KIB" on one line, CPU_MS being the CPU time all its
// threads had used when the window showed (less disturbed than MS by other
// loads on the machine); status 1 when the program ended or 60 s passed
// first.
//
// X11 (DISPLAY): the window is shown when the server maps it. With no window
// manager a top-level window is a child of the root window, whose
// SubstructureNotify events report its MapNotify; the title is read from the
// window at that moment (the toolkit names it before mapping it).
//
// Wayland (--wayland): a surface is shown at its first commit with a buffer
// attached. The program runs with WAYLAND_DEBUG=client, which writes every
// request it sends to its standard error, read here as it comes: the
// surface whose toplevel gets the title TITLE, then the first commit on it
// after an attach of a buffer. Writing those lines costs the program little
// and costs every program measured the same.
//
// --linger MS waits that long after the window showed before the peak memory
// is read, so that what the program does just after its first frame counts.

#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static long peakKib(pid_t pid) {
    char path[64], line[256];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* f = fopen(path, "r");
    long kib = -1;
    if (!f) return -1;
    while (fgets(line, sizeof line, f))
        if (sscanf(line, "VmHWM: %ld", &kib) == 1) break;
    fclose(f);
    return kib;
}

// CPU time of all the process's threads so far, in ms.
static double cpuMs(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/schedstat", (int)pid);
    FILE* f = fopen(path, "r");
    unsigned long long ns = 0;
    if (!f) return -1;
    const int n = fscanf(f, "%llu", &ns);
    fclose(f);
    return n == 1 ? ns / 1e6 : -1;
}

static void endChild(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(pid, NULL, WNOHANG) == pid) return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
}

static int childEnded(pid_t pid) {
    int status;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// True when the window's name (EWMH UTF-8 or ICCCM) is title.
static int titled(Display* display, Window w, const char* title) {
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = NULL;
    int same = 0;
    if (XGetWindowProperty(display, w, netName, 0, 1024, False, utf8, &type, &format, &count, &after,
                           &data) == Success && data) {
        same = strcmp((const char*)data, title) == 0;
        XFree(data);
        if (same) return 1;
    }
    char* name = NULL;
    if (XFetchName(display, w, &name) && name) {
        same = strcmp(name, title) == 0;
        XFree(name);
    }
    return same;
}

static int ignoreErrors(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;   // a window gone before its name was read
    return 0;
}

static double waitX11(pid_t* child, char** argv, const char* title, double* cpu) {
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "mapped-after: cannot open the display\n");
        exit(1);
    }
    XSetErrorHandler(ignoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const double start = nowMs();
    *child = fork();
    if (*child == 0) {
        execvp(argv[0], argv);
        _exit(127);
    }
    const int fd = ConnectionNumber(display);
    while (nowMs() - start < 60000) {
        while (XPending(display)) {
            XEvent e;
            XNextEvent(display, &e);
            if (e.type == MapNotify && titled(display, e.xmap.window, title)) {
                const double ms = nowMs() - start;
                *cpu = cpuMs(*child);
                XCloseDisplay(display);
                return ms;
            }
        }
        if (childEnded(*child)) break;
        struct pollfd p = {fd, POLLIN, 0};
        poll(&p, 1, 100);
    }
    XCloseDisplay(display);
    return -1;
}

// Object ids are the words after '@' in requests such as
//   xdg_wm_base@9.get_xdg_surface(new id xdg_surface@16, wl_surface@15)
static int idAfter(const char* text, const char* prefix) {
    const char* at = strstr(text, prefix);
    return at ? atoi(at + strlen(prefix)) : -1;
}

static double waitWayland(pid_t* child, char** argv, const char* title, double* cpu) {
    int pipes[2];
    if (pipe(pipes) != 0) return -1;
    setenv("WAYLAND_DEBUG", "client", 1);
    const double start = nowMs();
    *child = fork();
    if (*child == 0) {
        dup2(pipes[1], STDERR_FILENO);
        close(pipes[0]);
        close(pipes[1]);
        execvp(argv[0], argv);
        _exit(127);
    }
    close(pipes[1]);
    enum { kMax = 4096 };
    int surfaceOf[kMax];     // xdg_surface id -> wl_surface id
    int toplevelOf[kMax];    // xdg_toplevel id -> wl_surface id
    char attached[kMax];     // wl_surface id -> a buffer is attached, not yet committed
    memset(surfaceOf, 0, sizeof surfaceOf);
    memset(toplevelOf, 0, sizeof toplevelOf);
    memset(attached, 0, sizeof attached);
    int target = -1;
    char quoted[512];
    snprintf(quoted, sizeof quoted, ".set_title(\"%s\")", title);
    FILE* in = fdopen(pipes[0], "r");
    char line[8192];
    while (fgets(line, sizeof line, in)) {
        if (nowMs() - start > 60000) break;
        const char* req = strstr(line, " -> ");
        if (!req) continue;
        req += 4;
        int id;
        if (strstr(req, ".get_xdg_surface(")) {
            const int x = idAfter(req, "xdg_surface@"), s = idAfter(req, "wl_surface@");
            if (x > 0 && x < kMax) surfaceOf[x] = s;
        } else if (strncmp(req, "xdg_surface@", 12) == 0 && strstr(req, ".get_toplevel(")) {
            const int x = idAfter(req, "xdg_surface@"), t = idAfter(req, "xdg_toplevel@");
            if (x > 0 && x < kMax && t > 0 && t < kMax) toplevelOf[t] = surfaceOf[x];
        } else if (strncmp(req, "xdg_toplevel@", 13) == 0 && strstr(req, quoted)) {
            id = idAfter(req, "xdg_toplevel@");
            if (id > 0 && id < kMax && target < 0) target = toplevelOf[id];
        } else if (strncmp(req, "wl_surface@", 11) == 0) {
            id = idAfter(req, "wl_surface@");
            if (id <= 0 || id >= kMax) continue;
            if (strstr(req, ".attach(")) attached[id] = strstr(req, ".attach(nil") == NULL;
            else if (strstr(req, ".commit()") && attached[id]) {
                attached[id] = 0;
                if (id == target) {
                    const double ms = nowMs() - start;
                    *cpu = cpuMs(*child);
                    // Keep draining the program's standard error, or it blocks on a full pipe.
                    if (fork() == 0) {
                        while (fgets(line, sizeof line, in)) {}
                        _exit(0);
                    }
                    fclose(in);
                    return ms;
                }
            }
        }
    }
    fclose(in);
    return -1;
}

int main(int argc, char** argv) {
    int wayland = 0;
    long lingerMs = 0;
    int i = 1;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
        if (strcmp(argv[i], "--wayland") == 0) wayland = 1;
        else if (strcmp(argv[i], "--linger") == 0 && i + 1 < argc) lingerMs = atol(argv[++i]);
        else break;
    }
    if (argc - i < 2) {
        fprintf(stderr, "usage: mapped-after [--wayland] [--linger MS] TITLE PROGRAM [ARG...]\n");
        return 64;
    }
    const char* title = argv[i];
    pid_t child = -1;
    double cpu = -1;
    const double ms = wayland ? waitWayland(&child, argv + i + 1, title, &cpu)
                              : waitX11(&child, argv + i + 1, title, &cpu);
    if (ms < 0) {
        fprintf(stderr, "mapped-after: no window \"%s\" shown\n", title);
        if (child > 0) endChild(child);
        return 1;
    }
    if (lingerMs > 0) usleep(lingerMs * 1000);
    printf("%.1f %.1f %ld\n", ms, cpu, peakKib(child));
    endChild(child);
    return 0;
}
