// SPDX-License-Identifier: GPL-3.0-or-later
// access.txt: the ACCESSIBILITY settings and the keys, kept per user beside the window's
// settings (config.dat's layout is fixed and holds none of them).
#pragma once

#include <string>
#include <string_view>

#include "play/access.h"

// One setting a line ("shake 50", "one_switch 1", "key pause K"); '#' starts a comment. A line
// that is damaged or out of range leaves its setting at the default, an unknown line is skipped,
// and keys that end up shared by two bindings all go back to their defaults.
Taccess parse_access_settings(std::string_view text);
std::string format_access_settings(const Taccess& access);

// The file in the per-user data folder ("" when there is no such folder).
std::string access_settings_path();
// Defaults when the file is missing or path is "".
Taccess load_access_settings(const std::string& path);
// Written atomically; a failure is reported on standard error. Nothing happens for path "".
void save_access_settings(const std::string& path, const Taccess& access);

// The steps the ACCESSIBILITY screen offers; a file value off them is damaged.
inline constexpr int game_speed_steps[] = {50, 60, 70, 80, 90, 100};
inline constexpr int shake_steps[] = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
inline constexpr int paddle_key_speed_steps[] = {50, 75, 100, 125, 150, 200};
