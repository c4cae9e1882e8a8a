// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/mixer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float ramp_step = 1.0f / mixer_ramp_frames;
// Frames decoded per refill of a streamed channel: about 46 ms, a few callbacks' worth, so the
// decoder runs rarely and its window stays small.
constexpr std::size_t stream_chunk_frames = 2048;
constexpr float silence[mixer_channels] = {0.0f, 0.0f};
const float limit_release = std::exp(-1.0f / mixer_limit_release_frames);

float glide(float now, float target)
{
    if (now < target) return std::min(now + ramp_step, target);
    if (now > target) return std::max(now - ramp_step, target);
    return now;
}

// One frame's step of the gain and rate glides. A paused channel fades out first and only then
// holds its position; a stopped one ends there. False once it holds or ends.
bool advance_glides(MixerVoice& v)
{
    const bool fading = v.paused || v.stopping;
    if (fading && v.gain <= 0.0f) {
        v.gain = 0.0f;
        v.ended = v.stopping;
        return false;
    }
    v.gain = glide(v.gain, fading ? 0.0f : v.volume);
    v.rate_now = glide(v.rate_now, v.rate);
    return true;
}

double frame_step(const MixerVoice& v)
{
    return static_cast<double>(v.rate_now) * v.rate_ratio;
}

// Adds the frame between a and b (at fraction f from a) to out at the channel's gain.
void add_interpolated(float* out, const float* a, const float* b, float f, float gain)
{
    out[0] += (a[0] + (b[0] - a[0]) * f) * gain;
    out[1] += (a[1] + (b[1] - a[1]) * f) * gain;
}

// A stored sample as the mixer hears it. 2^-15 is exact, so a 16-bit sample gives the very float
// that decoding it to floats at load gave.
float to_float(float s) { return s; }
float to_float(std::int16_t s) { return static_cast<float>(s) * (1.0f / 32768.0f); }

template <typename Sample, int Channels>
void read_frame(const Sample* data, std::size_t i, float* frame)
{
    frame[0] = to_float(data[i * Channels]);
    frame[1] = to_float(data[i * Channels + Channels - 1]);
}

template <typename Sample, int Channels>
void mix_decoded_from(MixerVoice& v, const Sample* data, float* out, int frames)
{
    const SoundData& sound = *v.sound;
    const std::size_t count = sound.frame_count();
    const auto end = static_cast<double>(count);
    float a[mixer_channels], b[mixer_channels];
    for (int k = 0; k < frames; ++k) {
        if (!advance_glides(v)) return;
        const auto i = static_cast<std::size_t>(v.position);
        const auto f = static_cast<float>(v.position - static_cast<double>(i));
        read_frame<Sample, Channels>(data, i, a);
        // Past the last frame a looping sound goes on with its first, any other into silence.
        if (i + 1 < count || sound.loop) read_frame<Sample, Channels>(data, i + 1 < count ? i + 1 : 0, b);
        else std::copy(silence, silence + mixer_channels, b);
        add_interpolated(out + k * mixer_channels, a, b, f, v.gain);
        v.position += frame_step(v);
        if (v.position >= end) {
            if (!sound.loop) {
                v.ended = true;
                return;
            }
            v.position = std::fmod(v.position, end);
        }
    }
}

void mix_decoded(MixerVoice& v, float* out, int frames)
{
    const SoundData& sound = *v.sound;
    const bool stereo = sound.channels == 2;
    if (!sound.pcm16.empty())
        stereo ? mix_decoded_from<std::int16_t, 2>(v, sound.pcm16.data(), out, frames)
               : mix_decoded_from<std::int16_t, 1>(v, sound.pcm16.data(), out, frames);
    else
        stereo ? mix_decoded_from<float, 2>(v, sound.pcm_float.data(), out, frames)
               : mix_decoded_from<float, 1>(v, sound.pcm_float.data(), out, frames);
}

// Where a sum of peak p ends up: p itself up to mixer_limit_from, above it a curve that leaves
// at slope 1 and only nears full scale, never reaching it.
float limited_peak(float p)
{
    const float room = 1.0f - mixer_limit_from;
    const float over = (p - mixer_limit_from) / room;
    return mixer_limit_from + room * over / (1.0f + over);
}

// The gain follows the loudest recent sample of either side, so both sides are turned down
// alike and the stereo picture stays put. Every sample that comes out is at most limited_peak of
// the peak it is scaled by, and the peak is at least that sample, so nothing reaches 1. While the
// peak is under the threshold the samples pass untouched, bit for bit.
void limit(float* out, int frames, float& peak)
{
    for (int k = 0; k < frames; ++k) {
        float* frame = out + k * mixer_channels;
        peak *= limit_release;
        // Below the threshold the peak no longer matters; dropping it keeps it from sinking into
        // slow denormals through a long silence.
        if (peak <= mixer_limit_from) peak = 0.0f;
        peak = std::max({peak, std::fabs(frame[0]), std::fabs(frame[1])});
        if (peak <= mixer_limit_from) continue;
        const float gain = limited_peak(peak) / peak;
        frame[0] *= gain;
        frame[1] *= gain;
    }
}

std::size_t window_frames(const MixerVoice& v)
{
    return v.window.size() / mixer_channels;
}

// Makes the frame at the position and the one after it present in the window, decoding more
// when needed; frames already passed are dropped first. False when the stream ended before it.
bool fill_window(MixerVoice& v)
{
    auto i = static_cast<std::size_t>(v.position);
    while (i + 1 >= window_frames(v) && !v.stream_done) {
        const std::size_t drop = std::min(i, window_frames(v));
        v.window.erase(v.window.begin(),
                       v.window.begin() + static_cast<std::ptrdiff_t>(drop * mixer_channels));
        v.window_start += static_cast<std::int64_t>(drop);
        v.position -= static_cast<double>(drop);
        i -= drop;
        const std::size_t kept = v.window.size();
        v.window.resize(kept + stream_chunk_frames * mixer_channels);
        const int got =
            v.stream->read(v.window.data() + kept, static_cast<int>(stream_chunk_frames));
        v.window.resize(kept + static_cast<std::size_t>(std::max(got, 0)) * mixer_channels);
        if (got <= 0) v.stream_done = true;
    }
    return i < window_frames(v);
}

void mix_streamed(MixerVoice& v, float* out, int frames)
{
    for (int k = 0; k < frames; ++k) {
        if (!advance_glides(v)) return;
        if (!fill_window(v)) {
            v.ended = true;
            return;
        }
        const auto i = static_cast<std::size_t>(v.position);
        const auto f = static_cast<float>(v.position - static_cast<double>(i));
        const float* a = v.window.data() + i * mixer_channels;
        const float* b = i + 1 < window_frames(v) ? a + mixer_channels : silence;
        add_interpolated(out + k * mixer_channels, a, b, f, v.gain);
        v.position += frame_step(v);
        if (v.stream_done && v.position >= static_cast<double>(window_frames(v))) {
            v.ended = true;
            return;
        }
    }
}

}  // namespace

std::uint32_t Mixer::add(const SoundData& sound, std::unique_ptr<SoundStream> stream)
{
    const std::uint32_t id = next_id_++;
    if (sound.streamed() && !stream) stream = sound.open_stream();
    if (sound.streamed() ? !stream : sound.frame_count() == 0) return id;
    if (voices_.size() >= static_cast<std::size_t>(mixer_max_channels)) make_room();
    if (voices_.size() >= static_cast<std::size_t>(mixer_max_channels)) return id;

    MixerVoice& v = voices_.emplace_back();
    v.id = id;
    v.sound = &sound;
    if (stream) {
        v.stream = std::move(stream);
        v.window.reserve((stream_chunk_frames + 2) * mixer_channels);
        v.rate_ratio = static_cast<double>(sound.stream_rate) / mixer_rate;
    }
    return id;
}

// Drops a channel that is fading out after a stop, else the oldest that is not looping, to let
// a new one in.
void Mixer::make_room()
{
    auto victim = std::find_if(voices_.begin(), voices_.end(),
                               [](const MixerVoice& v) { return v.stopping; });
    if (victim == voices_.end())
        victim = std::find_if(voices_.begin(), voices_.end(),
                              [](const MixerVoice& v) { return !v.sound->loop; });
    if (victim != voices_.end()) voices_.erase(victim);
}

MixerVoice* Mixer::find(std::uint32_t id)
{
    const auto it =
        std::lower_bound(voices_.begin(), voices_.end(), id,
                         [](const MixerVoice& v, std::uint32_t key) { return v.id < key; });
    return it != voices_.end() && it->id == id && !it->stopping ? &*it : nullptr;
}

const MixerVoice* Mixer::find(std::uint32_t id) const
{
    return const_cast<Mixer*>(this)->find(id);
}

void Mixer::resume(std::uint32_t id)
{
    MixerVoice* v = find(id);
    if (!v) return;
    if (!v->started) {
        // The first start plays at the level set while cued, never gliding up from silence.
        v->started = true;
        v->gain = v->volume;
        v->rate_now = v->rate;
    }
    v->paused = false;
}

void Mixer::pause(std::uint32_t id)
{
    if (MixerVoice* v = find(id)) v->paused = true;
}

void Mixer::stop(std::uint32_t id)
{
    MixerVoice* v = find(id);
    if (!v) return;
    // Cutting a waveform off mid-swing clicks; one that is silent anyway can go at once.
    if (v->gain > 0.0f)
        v->stopping = true;
    else
        voices_.erase(voices_.begin() + (v - voices_.data()));
}

void Mixer::set_volume(std::uint32_t id, float volume)
{
    MixerVoice* v = find(id);
    if (!v || std::isnan(volume)) return;
    v->volume = std::clamp(volume, 0.0f, 1.0f);
}

void Mixer::set_rate(std::uint32_t id, float rate)
{
    MixerVoice* v = find(id);
    if (!v || std::isnan(rate)) return;
    v->rate = std::clamp(rate, mixer_min_rate, mixer_max_rate);
    if (!v->started) v->rate_now = v->rate;
}

bool Mixer::exists(std::uint32_t id) const
{
    return find(id) != nullptr;
}

bool Mixer::playing(std::uint32_t id) const
{
    const MixerVoice* v = find(id);
    return v && !v->paused;
}

double Mixer::position(std::uint32_t id) const
{
    const MixerVoice* v = find(id);
    if (!v) return -1;
    return v->stream ? static_cast<double>(v->window_start) + v->position : v->position;
}

void Mixer::stop_all()
{
    voices_.clear();
}

void Mixer::mix(float* out, int frames)
{
    if (frames <= 0) return;
    const auto samples = static_cast<std::size_t>(frames) * mixer_channels;
    std::fill(out, out + samples, 0.0f);
    for (MixerVoice& v : voices_) {
        if (v.paused && !v.stopping && v.gain <= 0.0f) continue;
        if (v.stream)
            mix_streamed(v, out, frames);
        else
            mix_decoded(v, out, frames);
    }
    std::erase_if(voices_, [](const MixerVoice& v) { return v.ended; });
    limit(out, frames, limit_peak_);
}

float SoundData::sample(std::size_t frame, int side) const
{
    const std::size_t at =
        frame * static_cast<std::size_t>(channels) + (channels == 2 ? static_cast<std::size_t>(side) : 0);
    return pcm16.empty() ? pcm_float[at] : to_float(pcm16[at]);
}

void mixer_to_s16(const float* in, std::int16_t* out, int samples)
{
    for (int s = 0; s < samples; ++s)
        out[s] = static_cast<std::int16_t>(std::lrint(std::clamp(in[s], -1.0f, 1.0f) * 32767.0f));
}
