// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program.h"

#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>

#include "platform/audio.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/trace.h"

namespace {
std::function<void()> exit_actions;
bool exiting = false;
bool write_failed = false;
volatile std::sig_atomic_t termination_signal = 0;

void on_termination_signal(int signal) { termination_signal = signal; }
}  // namespace

void set_exit_actions(std::function<void()> actions) { exit_actions = std::move(actions); }

void end_program(int exit_code)
{
    trace("exit " + std::to_string(exit_code));
    // The exit actions run once, even if they themselves end up here again.
    if (!exiting) {
        exiting = true;
        if (exit_actions) exit_actions();
    }
    close_input_record();
    close_display();
    audio_close();
    SDL_Quit();
    std::exit(exit_code == 0 && write_failed ? 1 : exit_code);
}

void report_write_failure(const std::string& file, const std::string& why)
{
    std::fprintf(stderr, "kalventor: cannot write %s: %s\n", file.c_str(), why.c_str());
    write_failed = true;
}

void install_signal_handlers()
{
    std::signal(SIGINT, on_termination_signal);
    std::signal(SIGTERM, on_termination_signal);
}

void check_termination_request()
{
    if (termination_signal != 0) end_program(128 + termination_signal);
}

std::string executable_dir()
{
    char* base = SDL_GetBasePath();
    if (base == nullptr) return {};
    std::string dir = base;
    SDL_free(base);
    return dir;
}

namespace {

// $XDG_DATA_HOME, else ~/.local/share; "" when neither can be found. An empty or relative
// XDG_DATA_HOME is ignored, as the desktop's rule says.
std::string data_home()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.local/share";
}

}  // namespace

std::string user_data_dir()
{
    const std::string base = data_home();
    if (base.empty()) return {};
    const std::string dir = base + "/kalventor/";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!std::filesystem::is_directory(dir, error)) return {};
    return dir;
}

std::string old_user_data_dir()
{
    const std::string base = data_home();
    return base.empty() ? std::string() : base + "/kalventor/kalventor/";
}
