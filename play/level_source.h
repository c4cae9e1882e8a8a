// SPDX-License-Identifier: GPL-3.0-or-later
// A level set as its text source holds it: the bricks of each level where a designer put them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "play/brick.h"

namespace levelsrc {

inline constexpr int powerup_count = 30;

// Where a brick may stand: between the side walls, below the top wall, and high enough above
// the paddle (which rests at y 570) for the player to react to what comes off the bricks.
inline constexpr float field_left = 10, field_right = 790;
inline constexpr float field_top = 40, field_bottom = 500;

struct Source_brick {
    int num = 0;
    int powerup = -1;
    float speed = 0;
    std::vector<Tmove_point> points;   // centre of the brick at each waypoint
    int line = 0;
};

struct Source_level {
    int number = 0;
    std::string name;
    int theme = 0;
    std::vector<Source_brick> bricks;
    int line = 0;
};

// Faster or smaller balls, a smaller or frozen paddle, an invisible ball, a dead paddle.
inline bool powerup_harmful(int num)
{
    return num == 0 || num == 3 || num == 11 || num == 12 || num == 16 || num == 28;
}

}   // namespace levelsrc

struct Level_set {
    std::string title;
    std::string author;
    std::vector<levelsrc::Source_level> levels;
};
