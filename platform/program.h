// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the program: every way out (the game's QUIT, a closed window, SIGINT or SIGTERM, the
// end of a headless run) goes through the exit actions once, so the settings are still written.
#pragma once

#include <functional>
#include <string>

void set_exit_actions(std::function<void()> actions);
[[noreturn]] void end_program(int exit_code = 0);
// A file the run was asked to write (an input record, a screenshot, a sound recording) could not
// be written: said on standard error at once, and a run that would have ended with success ends
// with exit code 1 instead, so a script never takes a missing file for a good one.
void report_write_failure(const std::string& file, const std::string& why);
// SIGINT and SIGTERM only raise a flag; the next frame boundary ends the program.
void install_signal_handlers();
void check_termination_request();

#include <string>
// The folder holding the running executable, with a trailing slash ("" when unknown).
std::string executable_dir();
// The per-user folder for the game's own files: $XDG_DATA_HOME/kalventor/, else
// ~/.local/share/kalventor/. Created on first use; with a trailing slash ("" when there is none).
// Saves live there whenever the levels' own folder cannot take them.
std::string user_data_dir();
// Where earlier versions kept the per-user files (the folder name twice); read once to move a
// save to the folder above.
std::string old_user_data_dir();
