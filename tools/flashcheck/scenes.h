// SPDX-License-Identifier: GPL-3.0-or-later
// The scenes the flash figures are measured on.
#pragma once

#include <string>
#include <vector>

namespace flashcheck {

struct SceneFlashes {
    std::string scene;
    bool reduced_flash = false;
    int flashes = 0;        // the most in any one second over a quarter of the picture
    int worst_frame = -1;   // where that second ended
};

// Plays every scene with reduced flashes off and on; with `shots` a picture every half second.
// `shake` is the SCREEN SHAKE setting, in percent.
std::vector<SceneFlashes> measure_scenes(const std::string& levels_dat, const std::string& shots, int shake);

}   // namespace flashcheck
