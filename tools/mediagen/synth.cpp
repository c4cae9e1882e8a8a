// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth.h"

#include <algorithm>

namespace mediagen {

float peak_of(const Samples& s) {
    float p = 0;
    for (float v : s) p = std::max(p, std::fabs(v));
    return p;
}

double rms_of(const Samples& s) {
    double sum = 0;
    for (float v : s) sum += double(v) * v;
    return s.empty() ? 0 : std::sqrt(sum / double(s.size()));
}

void remove_dc(Samples& s, int channels) {
    for (int c = 0; c < channels; ++c) {
        double mean = 0;
        std::size_t n = 0;
        for (std::size_t i = std::size_t(c); i < s.size(); i += std::size_t(channels)) mean += s[i], ++n;
        if (n == 0) continue;
        mean /= double(n);
        for (std::size_t i = std::size_t(c); i < s.size(); i += std::size_t(channels)) s[i] -= float(mean);
    }
}

void finish_effect(Samples& s, float peak, float fade_in_ms, float fade_out_ms) {
    if (s.empty()) return;
    // a gentle high-pass first takes out rumble below hearing, then the mean goes
    float prev_in = 0, prev_out = 0;
    const float k = 0.9972f;  // about 20 Hz
    for (float& v : s) {
        float out = v - prev_in + k * prev_out;
        prev_in = v, prev_out = out;
        v = out;
    }
    remove_dc(s, 1);
    int fin = std::max(1, int(fade_in_ms * sr / 1000)), fout = std::max(1, int(fade_out_ms * sr / 1000));
    for (int i = 0; i < fin && i < int(s.size()); ++i) s[std::size_t(i)] *= float(i) / fin;
    for (int i = 0; i < fout && i < int(s.size()); ++i) s[s.size() - 1 - std::size_t(i)] *= float(i) / fout;
    float p = peak_of(s);
    if (p > 0)
        for (float& v : s) v *= peak / p;
}

}  // namespace mediagen
