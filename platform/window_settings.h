// SPDX-License-Identifier: GPL-3.0-or-later
// The window as the player last left it, kept per user between runs in a small text file of its
// own (config.dat's layout is fixed): full screen or not, and the window's size.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct WindowSettings {
    bool fullscreen = true;
    int width = 800;    // the window's size when not full screen
    int height = 600;
};

// Lines "fullscreen 0|1" and "size W H"; '#' starts a comment. Unknown or damaged lines are
// skipped and the field keeps its default; sizes outside 200..16384 are refused.
WindowSettings parse_window_settings(std::string_view text);
std::string format_window_settings(const WindowSettings& settings);

// The file in the per-user data folder ("" when there is no such folder).
std::string window_settings_path();
std::optional<WindowSettings> load_window_settings();
// Written atomically; a failure is reported on standard error.
void save_window_settings(const WindowSettings& settings);
