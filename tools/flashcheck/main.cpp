// SPDX-License-Identifier: GPL-3.0-or-later
// kalventor-flashcheck: how often the brightest scenes flash, with reduced flashes off and on.
// Fails when a scene flashes more than three times in a second with reduced flashes on.
//   ./tools/flashcheck/kalventor-flashcheck [--levels FILE] [--shots DIR] [--shake PERCENT]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scenes.h"

int main(int argc, char** argv)
{
    std::string levels = "levels.dat", shots;
    int shake = 100;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--levels") levels = argv[i + 1];
        else if (option == "--shots") shots = argv[i + 1];
        else if (option == "--shake") shake = std::atoi(argv[i + 1]);
    }
    constexpr int most_allowed = 3;
    bool passed = true;
    for (const auto& r : flashcheck::measure_scenes(levels, shots, shake)) {
        const bool ok = !r.reduced_flash || r.flashes <= most_allowed;
        passed = passed && ok;
        std::printf("%-40s reduced flashes %-3s  flashes in one second: %d (window ending at frame %d)%s\n",
                    r.scene.c_str(), r.reduced_flash ? "on" : "off", r.flashes, r.worst_frame, ok ? "" : "  TOO MANY");
    }
    return passed ? 0 : 1;
}
