// Starts a program several times under the current X display and reports
// the median time from process start to the first window mapped, and the
// median peak resident memory of the process, read once it has run
// kSettleMs after the window appeared. A window counts when it is at least
// kMinSide pixels each way, so that a tray icon mapped before the program's
// own window does not count as its window.
//   mapwatch <runs> <program> [args...]
// With MAPWATCH_VERBOSE set, every run's figures go to stderr.
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMinSide = 100;
// Long enough for work a program puts off until its window is up.
constexpr int kSettleMs = 1500;

// A window may be gone by the time it is looked at; that is no error here.
int ignoreErrors(Display *, XErrorEvent *) { return 0; }

bool bigEnough(Display *display, Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.width >= kMinSide
           && attributes.height >= kMinSide;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool waitForMap(Display *display, double timeoutSeconds)
{
    const int fd = ConnectionNumber(display);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    for (;;) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && bigEnough(display, event.xmap.window))
                return true;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return false;
        timeval tv{0, 20000};
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        select(fd + 1, &set, nullptr, nullptr, &tv);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: mapwatch <runs> <program> [args...]\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "mapwatch: no X display\n");
        return 2;
    }
    XSetErrorHandler(ignoreErrors);
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    const bool verbose = std::getenv("MAPWATCH_VERBOSE") != nullptr;

    std::vector<double> mapMs, peakMb;
    for (int run = 0; run < runs; ++run) {
        XSync(display, True); // drop what came before this run
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        const bool mapped = waitForMap(display, 30);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        usleep(kSettleMs * 1000);
        kill(child, SIGTERM);
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        if (!mapped) {
            std::fprintf(stderr, "mapwatch: %s mapped no window\n", argv[2]);
            return 1;
        }
        mapMs.push_back(ms);
        peakMb.push_back(usage.ru_maxrss / 1024.0);
        if (verbose)
            std::fprintf(stderr, "%s run %d: %.1f ms, %.1f MB\n", argv[2], run + 1, ms, peakMb.back());
        usleep(300 * 1000);
    }
    std::printf("%.1f %.1f\n", median(mapMs), median(peakMb));
    return 0;
}
