// SPDX-License-Identifier: GPL-3.0-or-later
// Sound decoding: RIFF WAV (PCM, 8 or 16 bits, mono or stereo, any rate) and Ogg Vorbis, turned
// into the mixer's SoundData. One-shot sounds are decoded whole and converted to 44100 Hz at load,
// in their own channels (16-bit WAV at 44100 Hz kept as it is); looping sounds in Ogg Vorbis (the
// music) are kept encoded and streamed per channel.
// The bytes are checked before anything is allocated from a size they state.
#pragma once

#include "platform/mixer.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// Longest sound decoded whole: a limit on what a damaged size field can make us allocate.
inline constexpr int max_decoded_seconds = 600;

enum class SoundBytes {
    permanent,   // live for the whole run (the embedded files): streams read them in place
    copied,      // the caller's buffer: a streamed sound keeps its own copy
};

// flags 1 = loop. Returns the sound, or nullptr with the reason in error.
std::unique_ptr<SoundData> try_decode_sound(std::span<const std::uint8_t> bytes,
                                            std::string_view name, int flags, SoundBytes lifetime,
                                            std::string& error);

// The same for the program's own media: a sound that does not decode is a defect of the build,
// so this prints "kalventor: cannot decode embedded sound <name>: <why>" and exits with 1.
std::unique_ptr<SoundData> decode_sound_or_exit(std::span<const std::uint8_t> bytes,
                                                std::string_view name, int flags,
                                                SoundBytes lifetime);
[[noreturn]] void exit_sound_decode_failure(std::string_view name, std::string_view why);
