// SPDX-License-Identifier: GPL-3.0-or-later
// The figures the game's sounds are held to: loudness by ITU-R BS.1770, partials, spectral
// centroid, the edges of an effect and the long-term band spectrum of a tune.
#pragma once

#include <vector>

#include "audio_file.h"

namespace soundcheck {

struct Loudness {
    double integrated = 0;      // LUFS, gated (-70 LUFS absolute, -10 LU relative)
    double loudest_400ms = 0;   // LUFS of the loudest 400 ms window, slid by 1 ms
};
// Every channel weighs 1 (mono, left, right). A sound shorter than 400 ms is heard with the
// silence around it, as a player hears it.
Loudness loudness(const Sound& s);

struct Partial {
    double hz = 0, db = 0;   // level relative to the strongest partial
};
// Tonal peaks of the spectrum of the sound's first half second, strongest first, keeping those
// within `within_db` of the strongest: a peak that is the highest within 30 Hz (1 % above
// 3 kHz), falls 6 dB inside that span on both sides and stands 10 dB over the median level of
// the third octave around it.
std::vector<Partial> partials(const std::vector<float>& mono, int rate, double within_db);

// Amplitude-weighted mean frequency of the long-term spectrum (Hann frames of 2048).
double spectral_centroid(const std::vector<float>& mono, int rate);

struct Edges {
    double first = 0, last = 0;   // largest magnitude over the channels of the first and last frame
    double tail_dbfs = 0;         // sample peak of the last 5 ms
};
Edges edges(const Sound& s);
double peak_dbfs(const Sound& s);

// Long-term level of 40 mel-spaced bands up to 16 kHz, in dB.
std::vector<double> band_spectrum(const Sound& s);
// Pearson's; not a number when either is flat, which no check passes.
double correlation(const std::vector<double>& a, const std::vector<double>& b);

// In-place radix-2 transform of interleaved (re, im) pairs; size a power of two.
void fft(std::vector<double>& re, std::vector<double>& im);

}   // namespace soundcheck
