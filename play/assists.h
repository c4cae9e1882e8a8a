// SPDX-License-Identifier: GPL-3.0-or-later
// The assists by the names the command line and the replay files give them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "play/access.h"

struct AssistName {
    std::string_view name;
    bool Taccess::*flag;
};

// One-switch play steers the paddle after the ball by itself, so its scores are kept apart as an
// assist's are, and its replay is marked with it.
inline constexpr std::array<AssistName, 5> assist_names = {{
    {"wide-paddle", &Taccess::wide_paddle},
    {"ball-never-lost", &Taccess::ball_never_lost},
    {"auto-launch", &Taccess::auto_launch},
    {"slow-capsules", &Taccess::slow_capsules},
    {"one-switch", &Taccess::one_switch},
}};

// Turns on the assists of a comma-separated list; the first unknown name when there is one.
std::optional<std::string> turn_on_assists(std::string_view list, Taccess& access);
// The assists that are on, comma-separated, or "-" for none.
std::string assists_on(const Taccess& access);
