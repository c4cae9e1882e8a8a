// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/desktop/desktop.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace desktop {

namespace fs = std::filesystem;

std::string kalventor_executable() { return std::string(KALVENTOR_BINARY_DIR) + "/kalventor"; }
std::string levels_file() { return std::string(KALVENTOR_BINARY_DIR) + "/levels.dat"; }

bool wait_until(const std::function<bool()>& condition, Seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

namespace {

// fork + exec with extra environment entries ("NAME=value"), standard output and error into
// `output` (or nowhere), in `folder` (or here).
pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
            const fs::path& folder = {}, const fs::path& output = {}, int keep_fd = -1)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // In the sanitizer build, leaks of the desktop's own libraries are not the game's. Through the
    // GPU, Mesa's driver is unloaded when the game closes its display, so what it keeps shows up as
    // leaks of an unknown module that no suppression can name: those runs look for none (the
    // software runs still look for leaks of the game's own).
    const bool gpu = std::find(arguments.begin(), arguments.end(), "--gpu") != arguments.end();
    std::string leaks = gpu ? std::string("LSAN_OPTIONS=detect_leaks=0")
                            : std::string("LSAN_OPTIONS=print_suppressions=0:suppressions=") + KALVENTOR_SOURCE_DIR +
                                  "/tests/desktop/lsan.supp";
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // The child: only async-signal-safe work until exec, apart from the environment.
    setpgid(0, 0);
    putenv(leaks.data());
    // "NAME=value" sets a variable, a bare "NAME" removes it.
    for (const std::string& e : environment) {
        if (e.find('=') == std::string::npos) unsetenv(e.c_str());
        else putenv(const_cast<char*>(e.c_str()));
    }
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    const int out = open(output.empty() ? "/dev/null" : output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        dup2(out, 1);
        dup2(out, 2);
    }
    const int in = open("/dev/null", O_RDONLY);
    if (in >= 0) dup2(in, 0);
    for (int fd = 3; fd < 1024; ++fd)
        if (fd != keep_fd) close(fd);
    execvp(argv[0], argv.data());
    _exit(127);
}

void stop(pid_t& pid)
{
    if (pid <= 0) return;
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    int status = 0;
    if (!wait_until([&] { return waitpid(pid, &status, WNOHANG) != 0; }, 5s)) {
        kill(-pid, SIGKILL);
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    pid = -1;
}

std::string read_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::vector<unsigned long> window_property(::Display* x, ::Window window, const char* name, Atom type)
{
    Atom actual = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<unsigned long> values;
    if (XGetWindowProperty(x, window, XInternAtom(x, name, False), 0, 1 << 20, False, type, &actual, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        if (format == 32) {
            const auto* longs = reinterpret_cast<const unsigned long*>(data);
            values.assign(longs, longs + count);
        }
        XFree(data);
    }
    return values;
}

namespace {
// Windows come and go while the suite looks at them (a listed window may be gone by the time
// its properties are read): such a request simply finds nothing.
int ignore_x_error(::Display*, XErrorEvent*) { return 0; }
}  // namespace

Desktop::Desktop(int width, int height) : width_(width), height_(height)
{
    XSetErrorHandler(ignore_x_error);
    // The server picks a free display number itself and writes it down this pipe.
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) throw std::runtime_error("pipe");
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    xvfb_ = spawn({"Xvfb", "-displayfd", std::to_string(pipe_fds[1]), "-screen", "0", screen, "-nolisten", "tcp",
                   "-noreset"},
                  {}, {}, {}, pipe_fds[1]);
    close(pipe_fds[1]);
    std::string number;
    pollfd wait_for{pipe_fds[0], POLLIN, 0};
    while (poll(&wait_for, 1, 20000) > 0) {
        char c = 0;
        if (read(pipe_fds[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(pipe_fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start (is it installed?)");
    name_ = ":" + number;
    x_ = XOpenDisplay(name_.c_str());
    if (x_ == nullptr) throw std::runtime_error("cannot open the display " + name_);
    window_manager_ = spawn({"openbox", "--sm-disable"}, {"DISPLAY=" + name_});
    const bool managed = wait_until([&] {
        return !window_property(x_, DefaultRootWindow(x_), "_NET_SUPPORTING_WM_CHECK", XA_WINDOW).empty();
    });
    if (!managed) throw std::runtime_error("openbox did not start (is it installed?)");
    // Openbox names itself before it has taken charge of the screen, and a window mapped in
    // between can be lost (SDL then waits for ever to see its window mapped). Ready means a
    // window of ours gets a frame.
    const ::Window probe = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 0, 0, 10, 10, 0, 0, 0);
    const bool framed = wait_until([&] {
        XMapWindow(x_, probe);
        XSync(x_, False);
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(x_, probe, &root, &parent, &children, &count)) return false;
        if (children != nullptr) XFree(children);
        return parent != root;
    });
    XDestroyWindow(x_, probe);
    XSync(x_, False);
    if (!framed) throw std::runtime_error("openbox does not manage windows");
}

Desktop::~Desktop()
{
    stop(window_manager_);
    if (x_ != nullptr) XCloseDisplay(x_);
    stop(xvfb_);
}

bool Desktop::window_manager_running() const
{
    int status = 0;
    return window_manager_ > 0 && waitpid(window_manager_, &status, WNOHANG) == 0;
}

void Desktop::move_pointer(int x, int y)
{
    XTestFakeMotionEvent(x_, -1, x, y, CurrentTime);
    XSync(x_, False);
}

void Desktop::press_button(int button)
{
    XTestFakeButtonEvent(x_, static_cast<unsigned>(button), True, CurrentTime);
    XSync(x_, False);
}

void Desktop::release_button(int button)
{
    XTestFakeButtonEvent(x_, static_cast<unsigned>(button), False, CurrentTime);
    XSync(x_, False);
}

void Desktop::tap(int button)
{
    XTestFakeButtonEvent(x_, static_cast<unsigned>(button), True, CurrentTime);
    XTestFakeButtonEvent(x_, static_cast<unsigned>(button), False, CurrentTime);
    XSync(x_, False);
}

namespace {
KeyCode keycode(::Display* x, const std::string& keysym)
{
    const KeySym sym = XStringToKeysym(keysym.c_str());
    if (sym == NoSymbol) throw std::runtime_error("no such key " + keysym);
    return XKeysymToKeycode(x, sym);
}
}  // namespace

void Desktop::press_key(const std::string& keysym)
{
    XTestFakeKeyEvent(x_, keycode(x_, keysym), True, CurrentTime);
    XSync(x_, False);
}

void Desktop::release_key(const std::string& keysym)
{
    XTestFakeKeyEvent(x_, keycode(x_, keysym), False, CurrentTime);
    XSync(x_, False);
}

void Desktop::type_key(const std::string& keysym)
{
    XTestFakeKeyEvent(x_, keycode(x_, keysym), True, CurrentTime);
    XTestFakeKeyEvent(x_, keycode(x_, keysym), False, CurrentTime);
    XSync(x_, False);
}

std::pair<int, int> Desktop::pointer() const
{
    ::Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(x_, DefaultRootWindow(x_), &root, &child, &x, &y, &wx, &wy, &mask);
    return {x, y};
}

::Window Desktop::open_other_window()
{
    const ::Window other = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 0, 0, 200, 150, 0, 0, 0);
    XStoreName(x_, other, "another program");
    XMapWindow(x_, other);
    XSync(x_, False);
    wait_until([&] {
        XWindowAttributes attributes{};
        return XGetWindowAttributes(x_, other, &attributes) && attributes.map_state == IsViewable;
    });
    return other;
}

void Desktop::focus(::Window window)
{
    // As a player's click on another window would: raised, and given the keyboard.
    XRaiseWindow(x_, window);
    XSetInputFocus(x_, window, RevertToPointerRoot, CurrentTime);
    XSync(x_, False);
}

::Window Desktop::focused() const
{
    ::Window window = 0;
    int revert = 0;
    XGetInputFocus(x_, &window, &revert);
    return window;
}

void Desktop::close_window(::Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(x_, "_NET_CLOSE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = CurrentTime;
    event.xclient.data.l[1] = 2;   // from a pager or taskbar: the user's own request
    XSendEvent(x_, DefaultRootWindow(x_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XSync(x_, False);
}

Game::Game(Desktop& desktop, const std::vector<std::string>& arguments, const std::string& folder_name,
           const fs::path& data_home, const std::function<void(const fs::path&)>& prepare,
           const std::vector<std::string>& environment)
    : desktop_(desktop)
{
    // The process id too: two runs of the suite (two build trees) must not share folders.
    folder_ = fs::temp_directory_path() / ("kalventor_desktop_" + folder_name + "_" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    data_home_ = data_home.empty() ? folder_ / "data" : data_home;
    fs::create_directories(data_home_);
    fs::copy_file(levels_file(), folder_ / "levels.dat");
    if (prepare) prepare(folder_);
    std::vector<std::string> command{kalventor_executable(), "--trace", (folder_ / "trace.txt").string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    std::vector<std::string> variables{"DISPLAY=" + desktop.name(), "XDG_DATA_HOME=" + data_home_.string(),
                                       "SDL_AUDIODRIVER=dummy"};
    variables.insert(variables.end(), environment.begin(), environment.end());
    pid_ = spawn(command, variables, folder_, folder_ / "output.txt");
}

Game::~Game()
{
    if (running()) stop(pid_);
}

::Window Game::wait_for_window(Seconds limit)
{
    ::Display* x = desktop_.x();
    wait_until(
        [&] {
            for (const unsigned long client : window_property(x, DefaultRootWindow(x), "_NET_CLIENT_LIST", XA_WINDOW)) {
                const auto pid = window_property(x, client, "_NET_WM_PID", XA_CARDINAL);
                XWindowAttributes attributes{};
                if (!pid.empty() && static_cast<pid_t>(pid[0]) == pid_ && XGetWindowAttributes(x, client, &attributes) &&
                    attributes.map_state == IsViewable) {
                    window_ = client;
                    return true;
                }
            }
            return false;
        },
        limit);
    return window_;
}

std::string Game::where_it_is() const
{
    if (pid_ <= 0) return "the game is not running";
    // What the game is doing, for the failure message: its threads' stacks where gdb is at hand.
    std::string stacks = "game process " + std::to_string(pid_) + " on display " + desktop_.name() +
                         (desktop_.window_manager_running() ? "" : " (the window manager has stopped)") + "\n";
    const std::string command = "gdb -p " + std::to_string(pid_) + " -batch -ex 'thread apply all bt' 2>&1 | grep '^#'";
    if (FILE* gdb = popen(command.c_str(), "r")) {
        char line[512];
        while (fgets(line, sizeof line, gdb) != nullptr) stacks += line;
        pclose(gdb);
    }
    return stacks;
}

Rect Game::inside() const
{
    ::Display* x = desktop_.x();
    XWindowAttributes attributes{};
    Rect rect;
    if (window_ == 0 || !XGetWindowAttributes(x, window_, &attributes)) return rect;
    ::Window child = 0;
    XTranslateCoordinates(x, window_, DefaultRootWindow(x), 0, 0, &rect.x, &rect.y, &child);
    rect.w = attributes.width;
    rect.h = attributes.height;
    return rect;
}

std::pair<int, int> Game::screen_point(int x, int y) const
{
    const Rect r = inside();
    const double scale = std::min(r.w / 800.0, r.h / 600.0);
    const double left = r.x + (r.w - 800 * scale) / 2, top = r.y + (r.h - 600 * scale) / 2;
    return {static_cast<int>(left + (x + 0.5) * scale), static_cast<int>(top + (y + 0.5) * scale)};
}

void Game::move_to(int x, int y)
{
    const auto [sx, sy] = screen_point(x, y);
    desktop_.move_pointer(sx, sy);
}

void Game::focus() { desktop_.focus(window_); }

std::vector<std::string> Game::trace_lines() const
{
    std::vector<std::string> lines;
    std::istringstream in(read_text(folder_ / "trace.txt"));
    for (std::string line; std::getline(in, line);) {
        const auto space = line.find(' ');
        if (space != std::string::npos) lines.push_back(line.substr(space + 1));
    }
    return lines;
}

int Game::trace_count(const std::string& line, std::size_t from) const
{
    const auto lines = trace_lines();
    if (from >= lines.size()) return 0;
    return static_cast<int>(std::count(lines.begin() + static_cast<long>(from), lines.end(), line));
}

bool Game::wait_for_trace(const std::string& line, Seconds limit, std::size_t from) const
{
    return wait_until([&] { return trace_count(line, from) > 0; }, limit);
}

long long Game::last_trace_frame() const
{
    std::istringstream in(read_text(folder_ / "trace.txt"));
    long long frame = -1;
    for (std::string line; std::getline(in, line);) frame = std::atoll(line.c_str());
    return frame;
}

std::vector<unsigned char> Game::capture(Rect& where) const
{
    where = inside();
    std::vector<unsigned char> rgb;
    if (where.w <= 0 || where.h <= 0) return rgb;
    ::Display* x = desktop_.x();
    XImage* image = XGetImage(x, DefaultRootWindow(x), where.x, where.y, static_cast<unsigned>(where.w),
                              static_cast<unsigned>(where.h), AllPlanes, ZPixmap);
    if (image == nullptr) return rgb;
    rgb.reserve(static_cast<std::size_t>(where.w) * where.h * 3);
    for (int y = 0; y < where.h; ++y)
        for (int px = 0; px < where.w; ++px) {
            const unsigned long pixel = XGetPixel(image, px, y);
            rgb.push_back(static_cast<unsigned char>((pixel >> 16) & 255));
            rgb.push_back(static_cast<unsigned char>((pixel >> 8) & 255));
            rgb.push_back(static_cast<unsigned char>(pixel & 255));
        }
    XDestroyImage(image);
    return rgb;
}

bool Game::running()
{
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == 0) return true;
    if (done == pid_) status_ = status;
    pid_ = -1;
    return false;
}

int Game::wait_for_exit(Seconds limit)
{
    if (!wait_until([&] { return !running(); }, limit)) return -1;
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    if (WIFSIGNALED(status_)) return 128 + WTERMSIG(status_);
    return -1;
}

void Game::terminate()
{
    if (pid_ > 0) kill(pid_, SIGTERM);
}

std::string Game::output() const { return read_text(folder_ / "output.txt"); }

int run_and_capture(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                    const fs::path& folder, std::string& output, Seconds limit)
{
    const fs::path log = folder / "run_output.txt";
    pid_t pid = spawn(arguments, environment, folder, log);
    int status = 0;
    if (!wait_until([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit)) {
        stop(pid);
        output = read_text(log);
        return -1;
    }
    output = read_text(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace desktop
