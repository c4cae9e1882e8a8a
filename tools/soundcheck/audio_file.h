// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the game's sound files (16-bit PCM WAV, Ogg Vorbis) into float samples.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace soundcheck {

struct Sound {
    int rate = 0, channels = 0;
    std::vector<float> samples;   // interleaved
    std::size_t frames() const { return channels ? samples.size() / std::size_t(channels) : 0; }
};

// Reads by the file's extension; nothing when the file is missing or not a sound we read.
std::optional<Sound> read_sound(const std::string& path);
// The channels summed and halved (stereo) or the one channel, for spectra.
std::vector<float> mid_channel(const Sound& s);

}   // namespace soundcheck
