// SPDX-License-Identifier: GPL-3.0-or-later
// Sound: our own mixer of independent channels on one SDL audio device. Sounds are decoded from
// embedded WAV (PCM) or Ogg Vorbis bytes; looping sounds (music) are streamed from their Ogg
// bytes rather than decoded whole. Without an audio device everything still works, silently.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct SoundData;   // decoded (or streamable) sample data, loaded once and kept for the run
using Sound = SoundData*;

// One playing instance of a sound, named by a number that is never reused in a run. The game
// keeps a few of these; the mixer forgets a channel once it has ended, and every operation on a
// channel that is absent (id 0), ended or stopped does nothing, so a kept handle never dangles.
struct Channel {
    std::uint32_t id = 0;
    explicit operator bool() const { return id != 0; }
    bool operator==(const Channel&) const = default;
};

// How the mixer reaches the outside world.
enum class AudioOutput {
    device,    // an SDL audio device; none available means silence, never a failure
    headless,  // no device: audio_advance_frame mixes one frame's worth into a scratch buffer
};

void audio_open(AudioOutput output);
void audio_close();
// Headless runs advance the mixer by 1/60 s per flip, so channels end as they would when heard.
// It mixes exactly 735 frames whenever no device is playing (headless, or no device could be
// opened) and does nothing while one is, so calling it on every flip is always right.
void audio_advance_frame();
// Headless runs may write everything the mixer produced to a 16-bit stereo WAV file. The file
// appears, complete, at audio_close (written beside it as "<path>.tmp", then renamed); it may
// be asked for before or after audio_open.
void audio_record_to(std::string_view wav_path);

// Loads a sound: path is "incbin::data\sound\..." or a music path; flags
// 1 = loop (streamed). A sound that fails to decode stops the program with the file's name.
Sound load_sound(std::string_view path, int flags);
// The bytes are copied where the sound needs them later (a streamed one), so they need not outlive
// the call.
Sound load_sound_from_memory(std::span<const std::uint8_t> bytes, std::string_view name, int flags);

Channel cue_sound(Sound sound);   // a new channel, paused, volume 1, rate 1
void resume_channel(Channel channel);
void pause_channel(Channel channel);
void stop_channel(Channel channel);   // the channel is not used again by the game
void set_channel_volume(Channel channel, float volume);
void set_channel_rate(Channel channel, float rate);   // clamped to 0.25..4
// True while the channel exists (not ended or stopped) and is not paused; a cued channel is
// not playing until resumed.
bool channel_playing(Channel channel);
