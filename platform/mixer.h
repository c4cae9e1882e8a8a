// SPDX-License-Identifier: GPL-3.0-or-later
// The mixer core: independent channels summed into 44100 Hz stereo float frames. Plain C++ with
// no device behind it, so it can be driven by the SDL callback, by headless runs one game frame
// at a time, or by a test that inspects the samples. Not thread-safe by itself: the caller
// serialises access (audio.cpp holds the SDL device lock around every call).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr int mixer_rate = 44100;
inline constexpr int mixer_channels = 2;   // frames are interleaved left, right
// Volume and rate changes of a playing channel glide over 5 ms instead of jumping, because a
// step in gain (or in the speed a waveform is read at) is heard as a click.
inline constexpr int mixer_ramp_frames = 220;
// The sum is left alone up to this level (-3 dBFS) and bent smoothly under full scale above
// it: eight blasts at once and the music add up past 1, and a clamp there crackles. The gain
// drops at once on a louder sample and comes back over mixer_limit_release_frames (about
// 150 ms), so a burst is turned down as a whole instead of having each wave's top flattened.
inline constexpr float mixer_limit_from = 0.70794578f;
inline constexpr int mixer_limit_release_frames = 6615;
// More simultaneous channels than this are not mixed: the game starts an effect per hit and per
// shot and never waits for one to end, so a burst of explosions could otherwise pile up without
// bound. When a new channel would exceed it, the oldest one-shot effect is dropped; looping
// channels (the music) are never dropped for an effect.
inline constexpr int mixer_max_channels = 64;
// The range a channel's rate is clamped to; the game itself uses 0.7..1.0.
inline constexpr float mixer_min_rate = 0.25f;
inline constexpr float mixer_max_rate = 4.0f;

// A decoder that delivers a sound's frames a chunk at a time: how the music is played without
// holding minutes of decoded samples in memory. Each channel gets a stream of its own.
class SoundStream {
public:
    virtual ~SoundStream() = default;
    // Writes up to max_frames interleaved stereo frames to out and returns how many. A looping
    // stream wraps to its start by itself; 0 means nothing more will come (the end of a sound
    // that does not loop, or data that cannot be decoded).
    virtual int read(float* out, int max_frames) = 0;
};

// A sound as the mixer plays it: either fully decoded frames at mixer_rate, or a factory of
// streams (then nothing is decoded). Loaded once and kept for the whole run.
//
// Decoded frames stay in the source's own channels and, where the source is 16-bit at
// mixer_rate, its own 16-bit samples: the effects are mono, and as stereo floats they took four
// times the memory for the same sound. Only one of pcm16 and pcm_float holds frames.
struct SoundData {
    std::string name;
    bool loop = false;
    // Of the decoded frames: 1 (heard alike on both sides) or 2, interleaved.
    int channels = 1;
    std::vector<std::int16_t> pcm16;   // full scale is 32768, as in a WAV file
    std::vector<float> pcm_float;      // Vorbis, or a rate converted at load
    std::function<std::unique_ptr<SoundStream>()> open_stream;
    int stream_rate = mixer_rate;   // frames per second delivered by the streams

    bool streamed() const { return static_cast<bool>(open_stream); }
    std::size_t frame_count() const { return (pcm16.size() + pcm_float.size()) / static_cast<std::size_t>(channels); }
    // A decoded frame's sample on one side (0 left, 1 right) as the mixer reads it.
    float sample(std::size_t frame, int side) const;
};

// One channel inside the mixer; positions are in source frames, fractional between them.
struct MixerVoice {
    std::uint32_t id = 0;
    const SoundData* sound = nullptr;
    std::unique_ptr<SoundStream> stream;
    std::vector<float> window;       // streamed: the decoded frames the position reads from
    std::int64_t window_start = 0;   // streamed: source frame number of window[0]
    bool stream_done = false;
    double position = 0;
    double rate_ratio = 1;   // source frames per output frame at rate 1
    float volume = 1;        // as set by the game
    float rate = 1;
    float gain = 0;       // heard now: glides toward volume, or to 0 when paused
    float rate_now = 1;   // glides toward rate
    bool paused = true;
    bool started = false;   // a channel not yet resumed takes volume and rate at once
    bool stopping = false;  // stopped by the game: gone for it, fading out for the ear
    bool ended = false;
};

class Mixer {
public:
    // A new channel for the sound: paused, volume 1, rate 1. Streamed sounds get a stream
    // (opened here unless given). Returns its id, never reused; when the channel cannot be
    // added (no stream, or every channel taken by music) the id names an already ended one.
    std::uint32_t add(const SoundData& sound, std::unique_ptr<SoundStream> stream = nullptr);
    // Every operation on an id that is unknown, stopped or ended does nothing. A stopped channel
    // that was being heard fades out over the ramp before the mixer lets go of it.
    void resume(std::uint32_t id);
    void pause(std::uint32_t id);
    void stop(std::uint32_t id);
    void set_volume(std::uint32_t id, float volume);   // clamped to 0..1
    void set_rate(std::uint32_t id, float rate);       // clamped to the mixer's rate range
    bool exists(std::uint32_t id) const;               // not yet ended or stopped
    bool playing(std::uint32_t id) const;              // exists and not paused
    // Source frame the channel reads next (from the sound's start), or -1 when it is gone.
    double position(std::uint32_t id) const;
    int channel_count() const { return static_cast<int>(voices_.size()); }
    void stop_all();   // at once, no fade: the output is closing

    // Writes frames interleaved stereo frames to out: the sum of every channel, through the
    // limiter (mixer_limit_from and on) so it stays inside -1..1. Channels that reach the end of
    // a sound that does not loop are forgotten.
    void mix(float* out, int frames);

private:
    MixerVoice* find(std::uint32_t id);
    const MixerVoice* find(std::uint32_t id) const;
    void make_room();

    std::vector<MixerVoice> voices_;   // in id order, so the oldest comes first
    std::uint32_t next_id_ = 1;
    float limit_peak_ = 0;   // the limiter's memory of the loudest recent sample
};

// Converts float samples to signed 16-bit, for a device or a WAV file.
void mixer_to_s16(const float* in, std::int16_t* out, int samples);
