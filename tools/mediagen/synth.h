// SPDX-License-Identifier: GPL-3.0-or-later
// Sound building blocks for the generated effects and music: oscillators, noise, envelopes,
// filters and the finishing pass every sound goes through.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace mediagen {

using Samples = std::vector<float>;
inline constexpr float sr = 44100.0f;
inline constexpr float two_pi = 6.28318530718f;

inline int frames_for(float seconds) { return int(seconds * sr); }

// Phase-accumulating oscillator, so frequency may change every sample.
struct Osc {
    double phase = 0;
    float sine(float freq) { return float(std::sin(step(freq) * two_pi)); }
    float saw(float freq) { return float(2 * step(freq) - 1); }
    float square(float freq, float duty = 0.5f) { return step(freq) < duty ? 1.0f : -1.0f; }
    float tri(float freq) {
        double p = step(freq);
        return float(p < 0.5 ? 4 * p - 1 : 3 - 4 * p);
    }
    double step(float freq) {
        double p = phase;
        phase += double(freq) / sr;
        phase -= std::floor(phase);
        return p;
    }
};

// Deterministic white noise.
struct Noise {
    std::uint32_t s;
    explicit Noise(std::uint32_t seed) : s(seed ? seed : 1) {}
    float next() {
        s ^= s << 13, s ^= s >> 17, s ^= s << 5;
        return float(s & 0xffffff) / float(0x800000) - 1.0f;
    }
};

// State-variable filter (Chamberlin), cutoff may move every sample.
struct Svf {
    float low = 0, band = 0;
    float process_low(float x, float cutoff, float q = 0.7f) { run(x, cutoff, q); return low; }
    float process_band(float x, float cutoff, float q = 0.7f) { run(x, cutoff, q); return band; }
    float process_high(float x, float cutoff, float q = 0.7f) { return run(x, cutoff, q); }
    float run(float x, float cutoff, float q) {
        float f = 2 * std::sin(3.14159265f * std::fmin(cutoff, sr * 0.2f) / sr);
        float damp = 1.0f / q;
        float high = x - low - damp * band;
        band += f * high;
        low += f * band;
        return high;
    }
};

// Envelope: linear attack, exponential decay towards 0 with the given time constant.
inline float env_perc(float t, float attack, float decay) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}
// Attack, hold at 1, linear release, for sustained notes of a given length.
inline float env_gate(float t, float attack, float length, float release) {
    if (t < 0) return 0;
    if (t < attack) return t / attack;
    if (t < length) return 1;
    if (t < length + release) return 1 - (t - length) / release;
    return 0;
}

inline float note_freq(float midi) { return 440.0f * std::pow(2.0f, (midi - 69) / 12.0f); }

// The finishing pass of every effect: rumble and DC out, a 3 ms fade in from silence and a
// raised-cosine fade out followed by 8 ms of silence, so it neither starts nor ends on a step;
// then the level is set by loudness (the loudest 400 ms, BS.1770) rather than by peak, since
// loudness is what puts the effects in order in the game's mix. A peak that would pass -2.5
// dBFS on the way is rounded off by a soft limiter.
void finish_effect(Samples& s, float loudest_lufs, float fade_out_ms = 25);
double loudest_400ms_lufs(const Samples& mono);
float peak_of(const Samples& s);
double rms_of(const Samples& s);
void remove_dc(Samples& s, int channels);

}  // namespace mediagen
