// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop suite's bench: the game's real executable in a real X window, under its own virtual
// X server and a small window manager, driven by real input events (XTest) and read back through
// the X server (window geometry, properties, the pixels on screen) and the game's --trace lines.
// Every wait is for a condition, with a generous limit; nothing here measures speed.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace desktop {

using namespace std::chrono_literals;
using Seconds = std::chrono::duration<double>;

// Waits until the condition holds, checking every 20 ms; false when the limit passes first.
bool wait_until(const std::function<bool()>& condition, Seconds limit = 20s);

// A virtual X server (Xvfb) of the given size with openbox managing its windows.
class Desktop {
public:
    explicit Desktop(int width = 1024, int height = 768);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    const std::string& name() const { return name_; }   // ":N", for DISPLAY
    ::Display* x() const { return x_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool window_manager_running() const;

    // Real input, as a mouse and keyboard would send it. Positions are on the whole screen.
    void move_pointer(int x, int y);
    void press_button(int button = 1);
    void release_button(int button = 1);
    // A press and release sent together: both arrive between two of the game's frames.
    void tap(int button = 1);
    void press_key(const std::string& keysym);     // an X key name: "p", "Escape", "Left", "F5"
    void release_key(const std::string& keysym);
    void type_key(const std::string& keysym);      // press and release sent together
    std::pair<int, int> pointer() const;

    // Another program's window, to take the keyboard focus away from the game and back.
    ::Window open_other_window();
    void focus(::Window window);
    ::Window focused() const;   // the window that has the keyboard now
    // Asks the window manager to close a window, as its close button does.
    void close_window(::Window window);

private:
    pid_t xvfb_ = -1;
    pid_t window_manager_ = -1;
    std::string name_;
    ::Display* x_ = nullptr;
    int width_, height_;
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;   // on the screen, the window's inside without its frame
};

// One run of the game's executable in a folder of its own, on the given desktop.
class Game {
public:
    // Starts `kalventor --trace trace.txt ARGS` in a fresh folder holding a copy of levels.dat;
    // the per-user data folder is a folder of the test's too, or `data_home` when given, so that
    // a later run finds what an earlier one left there.
    // `prepare` may put files into the folder before the game starts; `environment` ("NAME=value")
    // goes over the test's own.
    Game(Desktop& desktop, const std::vector<std::string>& arguments, const std::string& folder_name,
         const std::filesystem::path& data_home = {},
         const std::function<void(const std::filesystem::path&)>& prepare = {},
         const std::vector<std::string>& environment = {});
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& data_home() const { return data_home_; }
    pid_t pid() const { return pid_; }

    // The game's top-level window once it is mapped (0 when none appeared within the limit).
    ::Window wait_for_window(Seconds limit = 30s);
    ::Window window() const { return window_; }
    Rect inside() const;   // where the window's inside is on the screen now
    // A point of the game's 800 x 600 picture on the screen, for a window drawn 1:1 or scaled
    // with the aspect kept and bars.
    std::pair<int, int> screen_point(int x, int y) const;
    void move_to(int x, int y);             // the pointer onto a point of the picture
    void focus();

    // --trace: the lines written so far, and waiting for one (whole line, frame number left out).
    std::vector<std::string> trace_lines() const;
    bool wait_for_trace(const std::string& line, Seconds limit = 30s, std::size_t from = 0) const;
    // How often a line appears in the trace, from line `from` on.
    int trace_count(const std::string& line, std::size_t from = 0) const;
    // The frame number the game had written with the last trace line.
    long long last_trace_frame() const;

    // The window's picture as RGB bytes read back from the X server.
    std::vector<unsigned char> capture(Rect& where) const;

    bool running();
    // Waits for the process to end; its exit status, or -1 when it did not end in time.
    int wait_for_exit(Seconds limit = 60s);
    void terminate();   // SIGTERM
    std::string output() const;   // what it wrote to standard error and standard output
    std::string where_it_is() const;   // the running game's stacks, to explain a failed wait

private:
    Desktop& desktop_;
    std::filesystem::path folder_;
    std::filesystem::path data_home_;
    pid_t pid_ = -1;
    int status_ = -1;
    ::Window window_ = 0;
};

// A window property of 32-bit items (atoms, windows, cardinals): empty when it is not set.
std::vector<unsigned long> window_property(::Display* x, ::Window window, const char* name, Atom type);

std::string kalventor_executable();
std::string levels_file();

// Runs a whole command line with the environment given on top of this one; returns its exit
// status and what it printed on both streams.
int run_and_capture(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                    const std::filesystem::path& folder, std::string& output, Seconds limit = 30s);

}  // namespace desktop
