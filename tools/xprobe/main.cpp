// SPDX-License-Identifier: GPL-3.0-or-later
// kalventor-xprobe [--warm-up SECONDS] [--measure SECONDS] -- PROGRAM ARGS...
//
// Starts PROGRAM on the X display and prints:
//   mapped_ms M       time from just before exec to the first window mapped on the display
//   cpu_percent P     the program's CPU time (user + system) over the measured stretch, as a
//                     share of one core, after the warm-up
//   peak_rss_mib R    its peak resident memory (VmHWM) at the end
// then ends the program with SIGTERM and returns 0, or 1 if anything could not be measured.
#include <X11/Xlib.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double now_ms()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// utime + stime of a process, in seconds; negative once it is gone.
double cpu_seconds(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(stat, text)) return -1;
    // The command name in parentheses may hold spaces: count fields after its closing one.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double peak_rss_mib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return -1;
}

bool still_running(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

// Waits for the first MapNotify under the root window, up to timeout_ms; its time or -1.
double wait_for_map(Display* display, double start, double timeout_ms)
{
    const int fd = ConnectionNumber(display);
    while (now_ms() - start < timeout_ms) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify) return now_ms();
        }
        pollfd wait{fd, POLLIN, 0};
        poll(&wait, 1, 5);
    }
    return -1;
}

void usage()
{
    std::fputs("usage: kalventor-xprobe [--warm-up SECONDS] [--measure SECONDS] -- PROGRAM ARGS...\n", stderr);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv)
{
    double warm_up = 10, measure = 60;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        if (first + 1 >= argc) usage();
        if (std::strcmp(argv[first], "--warm-up") == 0) warm_up = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--measure") == 0) measure = std::atof(argv[++first]);
        else usage();
    }
    if (first + 1 >= argc) usage();
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("kalventor-xprobe: cannot open the X display\n", stderr);
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const double start = now_ms();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[first + 1], argv + first + 1);
        std::perror("kalventor-xprobe: exec");
        _exit(127);
    }
    const double mapped = wait_for_map(display, start, 10000);
    bool ok = mapped >= 0;
    if (ok) std::printf("mapped_ms %.1f\n", mapped - start);
    else std::puts("mapped_ms none");

    usleep(static_cast<useconds_t>(warm_up * 1e6));
    const double cpu0 = cpu_seconds(pid), wall0 = now_ms();
    usleep(static_cast<useconds_t>(measure * 1e6));
    const double cpu1 = cpu_seconds(pid), wall1 = now_ms();
    const double peak = peak_rss_mib(pid);
    if (cpu0 < 0 || cpu1 < 0 || !still_running(pid)) {
        std::puts("cpu_percent none (the program ended)");
        ok = false;
    } else {
        std::printf("cpu_percent %.1f\n", 100.0 * (cpu1 - cpu0) / ((wall1 - wall0) / 1000.0));
        std::printf("peak_rss_mib %.1f\n", peak);
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    return ok ? 0 : 1;
}
