// SPDX-License-Identifier: GPL-3.0-or-later
#include "synth.h"

#include <algorithm>

#include "measures.h"

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

double loudest_400ms_lufs(const Samples& mono) { return soundcheck::loudness({int(sr), 1, mono}).loudest_400ms; }

void finish_effect(Samples& s, float loudest_lufs, float fade_out_ms)
{
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
    const std::size_t fin = std::min(s.size(), std::size_t(3 * sr / 1000));
    const std::size_t fout = std::min(s.size(), std::size_t(std::max(1.0f, fade_out_ms * sr / 1000)));
    auto rise = [](float u) { return 0.5f - 0.5f * std::cos(3.14159265f * u); };
    for (std::size_t i = 0; i < fin; ++i) s[i] *= rise(float(i) / float(fin));
    for (std::size_t i = 0; i < fout; ++i) s[s.size() - 1 - i] *= rise(float(i) / float(fout));
    s.insert(s.end(), std::size_t(8 * sr / 1000), 0.0f);
    // The gain is found on the unlimited sound, so the limiter works on it once. Its ceiling,
    // -2.5 dBFS, leaves room for the Vorbis encoder's overshoot under the -1 dBFS limit.
    const float knee = 0.45f, ceiling = 0.75f;
    const Samples source = s;
    double gain = 1;
    for (int pass = 0; pass < 24; ++pass) {
        double now = loudest_400ms_lufs(s);
        if (std::fabs(now - loudest_lufs) < 0.03) break;
        gain *= std::pow(10.0, (loudest_lufs - now) / 20);
        for (std::size_t i = 0; i < s.size(); ++i) {
            float v = float(source[i] * gain), a = std::fabs(v);
            if (a > knee) a = knee + (ceiling - knee) * std::tanh((a - knee) / (ceiling - knee));
            s[i] = std::copysign(a, v);
        }
    }
}

}  // namespace mediagen
