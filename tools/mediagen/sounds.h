// SPDX-License-Identifier: GPL-3.0-or-later
// The generated sound effects and music, by catalogue path.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "synth.h"

namespace mediagen {

struct Audio {
    Samples samples;  // interleaved when stereo
    int channels = 1;
};
using SoundMaker = std::function<Audio()>;
using SoundRegistry = std::map<std::string, SoundMaker, std::less<>>;

void add_effect_sounds(SoundRegistry& r);
void add_music(SoundRegistry& r);
SoundRegistry all_sound_makers();

// Music renderer exposed for the tests of the loop seam: one track by index 0..3
// (0 = menu), `bars_override` > 0 renders a shorter piece.
Audio compose_track(int index, int bars_override = 0);

}  // namespace mediagen
