// SPDX-License-Identifier: GPL-3.0-or-later
// kalventor-xprobe [--warm-up SECONDS] [--measure SECONDS] [--latency N] -- PROGRAM ARGS...
//
// Starts PROGRAM on the X display and prints:
//   mapped_ms M       time from just before exec to the first window mapped on the display
//   cpu_percent P     the program's CPU time (user + system) over the measured stretch, as a
//                     share of one core, after the warm-up
//   peak_rss_mib R    its peak resident memory (VmHWM) at the end
// With --latency N it measures instead, after the warm-up, how soon the player's pointer motion
// shows on the screen: N times a relative motion through XTest, then the paddle's rows of the
// game's window read back until they change; it prints latency_ms min, median and 90th
// percentile. PROGRAM must be playing a game (--play) in an 800 x 600 window.
// Then it ends the program with SIGTERM and returns 0, or 1 if anything could not be measured.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
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

// The window titled "Kalventor" anywhere under `window` (a window manager puts it in a frame).
Window find_game_window(Display* display, Window window)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        const bool found = std::strcmp(name, "Kalventor") == 0;
        XFree(name);
        if (found) return window;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) found = find_game_window(display, children[i]);
    if (children != nullptr) XFree(children);
    return found;
}

// The paddle's rows of the picture (it rests at y 570 of 600), as the screen shows them now.
struct Strip {
    int x = 0, y = 0, width = 0, height = 0;
};

std::vector<unsigned long> read_strip(Display* display, const Strip& strip)
{
    std::vector<unsigned long> pixels;
    XImage* image = XGetImage(display, DefaultRootWindow(display), strip.x, strip.y, static_cast<unsigned>(strip.width),
                              static_cast<unsigned>(strip.height), AllPlanes, ZPixmap);
    if (image == nullptr) return pixels;
    pixels.reserve(static_cast<std::size_t>(strip.width) * static_cast<std::size_t>(strip.height));
    for (int y = 0; y < strip.height; ++y)
        for (int x = 0; x < strip.width; ++x) pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return pixels;
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// One motion: the strip as it was, a relative move, then the time until the strip differs
// (-1 when nothing changed within half a second).
double one_latency(Display* display, const Strip& strip, int dx)
{
    const std::vector<unsigned long> before = read_strip(display, strip);
    XTestFakeRelativeMotionEvent(display, dx, 0, CurrentTime);
    XFlush(display);
    const double start = now_ms();
    while (now_ms() - start < 500) {
        if (read_strip(display, strip) != before) return now_ms() - start;
        usleep(200);
    }
    return -1;
}

bool measure_latency(Display* display, int samples)
{
    const Window game = find_game_window(display, DefaultRootWindow(display));
    if (game == 0) {
        std::puts("latency_ms none (no window titled Kalventor)");
        return false;
    }
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, game, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    const Strip strip{x + 40, y + 560, 720, 24};
    XTestFakeMotionEvent(display, -1, x + 400, y + 300, CurrentTime);
    XFlush(display);
    usleep(300000);
    std::vector<double> latencies;
    int missed = 0;
    for (int i = 0; i < samples; ++i) {
        const double latency = one_latency(display, strip, i % 2 == 0 ? 24 : -24);
        if (latency >= 0) latencies.push_back(latency);
        else missed += 1;
        // Settle, then start the next motion at a different point of the frame.
        usleep(static_cast<useconds_t>(60000 + (i * 7919) % 17000));
    }
    if (latencies.empty()) {
        std::puts("latency_ms none (the paddle never moved)");
        return false;
    }
    std::printf("latency_ms min %.1f median %.1f p90 %.1f (%zu samples, %d missed)\n",
                percentile(latencies, 0), percentile(latencies, 0.5), percentile(latencies, 0.9), latencies.size(), missed);
    return true;
}

void usage()
{
    std::fputs("usage: kalventor-xprobe [--warm-up SECONDS] [--measure SECONDS] [--latency N] -- PROGRAM ARGS...\n",
               stderr);
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv)
{
    double warm_up = 10, measure = 60;
    int latency_samples = 0;
    int first = 1;
    for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
        if (first + 1 >= argc) usage();
        if (std::strcmp(argv[first], "--warm-up") == 0) warm_up = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--measure") == 0) measure = std::atof(argv[++first]);
        else if (std::strcmp(argv[first], "--latency") == 0) latency_samples = std::atoi(argv[++first]);
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
    if (latency_samples > 0) {
        ok = ok && measure_latency(display, latency_samples);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        XCloseDisplay(display);
        return ok ? 0 : 1;
    }
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
