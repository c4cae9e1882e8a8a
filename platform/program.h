// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the program: every way out (the game's QUIT, a closed window, SIGINT or SIGTERM, the
// end of a headless run) goes through the exit actions once, so the settings are still written.
#pragma once

#include <functional>

void set_exit_actions(std::function<void()> actions);
[[noreturn]] void end_program(int exit_code = 0);
// SIGINT and SIGTERM only raise a flag; the next frame boundary ends the program.
void install_signal_handlers();
void check_termination_request();

#include <string>
// The folder holding the running executable, with a trailing slash ("" when unknown).
std::string executable_dir();
// The per-user folder for the game's own files (the settings where the working directory cannot
// be written), created on first use, with a trailing slash ("" when there is none).
std::string user_data_dir();
