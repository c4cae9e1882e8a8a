// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program.h"

#include <SDL.h>

#include <csignal>
#include <cstdlib>

#include "platform/audio.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/trace.h"

namespace {
std::function<void()> exit_actions;
bool exiting = false;
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
    std::exit(exit_code);
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

std::string user_data_dir()
{
    // An empty XDG_DATA_HOME means unset (the desktop's rule), not the root of the file system.
    if (const char* data_home = std::getenv("XDG_DATA_HOME"); data_home != nullptr && *data_home == '\0')
        unsetenv("XDG_DATA_HOME");
    char* path = SDL_GetPrefPath("kalventor", "kalventor");
    if (path == nullptr) return {};
    std::string dir = path;
    SDL_free(path);
    return dir;
}
