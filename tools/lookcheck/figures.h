// SPDX-License-Identifier: GPL-3.0-or-later
// The look figures: each is measured, printed with the bound it must keep, and fails the check
// when it falls short.
#pragma once

#include <string>
#include <vector>

namespace lookcheck {

enum class Bound { at_least, at_most, none };

struct Figure {
    std::string name;
    double value = 0;
    Bound bound = Bound::none;
    double limit = 0;
    bool holds() const;
};

using Figures = std::vector<Figure>;

// Measured from the committed pictures under data/.
void backdrop_figures(const std::string& data, Figures& out);
// How calm each backdrop is where play happens, and how the ball stands out on it.
void busyness_figures(const std::string& data, Figures& out);
void capsule_figures(const std::string& data, Figures& out, bool verbose);
// `verbose` lists every capsule and brick, not only the worst.
void brick_figures(const std::string& data, Figures& out, bool verbose);
// Measured from headless frames of the game itself playing fixed scenes.
void fire_figures(const std::string& levels_dat, Figures& out, const std::string& sheets);

// Contact sheets of the pictures, for people to look at.
void write_media_sheets(const std::string& data, const std::string& dir);

// The capsule groups the art tells apart: 0 helpful, 1 weapon, 2 harmful.
int capsule_group(int num);
const char* group_name(int group);

}   // namespace lookcheck
