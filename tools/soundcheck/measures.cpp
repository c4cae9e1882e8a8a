// SPDX-License-Identifier: GPL-3.0-or-later
#include "measures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace soundcheck {

namespace {

constexpr double pi = std::numbers::pi;

struct Biquad {
    double b0, b1, b2, a1, a2, z1 = 0, z2 = 0;
    double run(double x)
    {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// The two K-weighting stages of BS.1770 (a +4 dB shelf over about 1.7 kHz, then a high-pass at
// 38 Hz), worked out from their analogue prototypes for any sample rate; at 48 kHz they give
// the standard's published coefficients.
std::pair<Biquad, Biquad> k_weighting(int rate)
{
    double k = std::tan(pi * 1681.974450955533 / rate), q = 0.7071752369554196;
    double vh = std::pow(10.0, 3.999843853973347 / 20), vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1 + k / q + k * k;
    Biquad shelf{(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    k = std::tan(pi * 38.13547087602444 / rate), q = 0.5003270373238773;
    a0 = 1 + k / q + k * k;
    Biquad high{1, -2, 1, 2 * (k * k - 1) / a0, (1 - k / q + k * k) / a0};
    return {shelf, high};
}

double lufs(double power) { return power > 0 ? -0.691 + 10 * std::log10(power) : -200; }

std::size_t next_pow2(std::size_t n)
{
    std::size_t p = 1;
    while (p < n) p <<= 1;
    return p;
}

// Magnitude spectrum of the whole sound, zero-padded so peaks fall between few bins.
std::vector<double> whole_spectrum(const std::vector<float>& mono, std::size_t n)
{
    std::vector<double> re(n, 0.0), im(n, 0.0);
    for (std::size_t i = 0; i < std::min(n, mono.size()); ++i) re[i] = mono[i];
    fft(re, im);
    std::vector<double> mag(n / 2);
    for (std::size_t i = 0; i < mag.size(); ++i) mag[i] = std::hypot(re[i], im[i]);
    return mag;
}

// Sum of Hann-windowed power spectra over the sound, hop half a frame.
std::vector<double> average_power(const std::vector<float>& mono, std::size_t frame)
{
    std::vector<double> sum(frame / 2, 0.0), re(frame), im(frame);
    // whole frames only, so the cut at the end of the sound adds no false highs (a sound
    // shorter than a frame is one frame, padded with silence)
    for (std::size_t start = 0; start == 0 || start + frame <= mono.size(); start += frame / 2) {
        for (std::size_t i = 0; i < frame; ++i) {
            double w = 0.5 - 0.5 * std::cos(2 * pi * double(i) / double(frame));
            re[i] = start + i < mono.size() ? mono[start + i] * w : 0.0;
            im[i] = 0;
        }
        fft(re, im);
        for (std::size_t i = 0; i < sum.size(); ++i) sum[i] += re[i] * re[i] + im[i] * im[i];
    }
    return sum;
}

}   // namespace

void fft(std::vector<double>& re, std::vector<double>& im)
{
    const std::size_t n = re.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(re[i], re[j]), std::swap(im[i], im[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        double ang = -2 * pi / double(len);
        for (std::size_t i = 0; i < n; i += len)
            for (std::size_t k = 0; k < len / 2; ++k) {
                double wr = std::cos(ang * double(k)), wi = std::sin(ang * double(k));
                std::size_t a = i + k, b = i + k + len / 2;
                double xr = re[b] * wr - im[b] * wi, xi = re[b] * wi + im[b] * wr;
                re[b] = re[a] - xr, im[b] = im[a] - xi;
                re[a] += xr, im[a] += xi;
            }
    }
}

Loudness loudness(const Sound& s)
{
    // 400 ms of silence on both sides: a short sound's loudest window holds all of it, and
    // the filters ring out into the silence after it.
    const std::size_t pad = std::size_t(s.rate) * 4 / 10, n = s.frames() + 2 * pad;
    std::vector<double> power(n + 1, 0.0);   // running sum of the channels' weighted squares
    for (int c = 0; c < s.channels; ++c) {
        auto [shelf, high] = k_weighting(s.rate);
        double acc = 0;
        for (std::size_t i = 0; i < n; ++i) {
            double x = i >= pad && i < pad + s.frames()
                           ? s.samples[(i - pad) * std::size_t(s.channels) + std::size_t(c)]
                           : 0.0;
            double y = high.run(shelf.run(x));
            acc += y * y;
            power[i + 1] += acc;
        }
    }
    const std::size_t block = pad, slide = std::size_t(s.rate) / 1000, hop = block / 4;
    Loudness out;
    double loudest = 0;
    for (std::size_t i = 0; i + block <= n; i += slide)
        loudest = std::max(loudest, (power[i + block] - power[i]) / double(block));
    out.loudest_400ms = lufs(loudest);
    // Integrated loudness: 400 ms blocks overlapping by 75 %, over the sound alone.
    std::vector<double> blocks;
    for (std::size_t i = pad; i + block <= pad + std::max(s.frames(), block); i += hop)
        blocks.push_back((power[i + block] - power[i]) / double(block));
    auto gated_mean = [&](double gate) {
        double sum = 0;
        int count = 0;
        for (double b : blocks)
            if (lufs(b) > gate) sum += b, ++count;
        return count ? sum / count : 0.0;
    };
    double relative = lufs(gated_mean(-70)) - 10;
    out.integrated = lufs(gated_mean(std::max(-70.0, relative)));
    return out;
}

std::vector<Partial> partials(const std::vector<float>& mono, int rate, double within_db)
{
    const std::size_t used = std::min(mono.size(), std::size_t(rate) / 2);
    const std::size_t n = std::max<std::size_t>(65536, next_pow2(4 * used));
    std::vector<float> head(mono.begin(), mono.begin() + std::ptrdiff_t(used));
    std::vector<double> mag = whole_spectrum(head, n), db(mag.size());
    double top = *std::max_element(mag.begin(), mag.end());
    for (std::size_t i = 0; i < mag.size(); ++i) db[i] = 20 * std::log10(std::max(mag[i], top * 1e-9));
    const double bin_hz = double(rate) / double(n);
    std::vector<Partial> found;
    std::vector<double> around;
    for (std::size_t k = 1; k + 1 < db.size(); ++k) {
        double hz = double(k) * bin_hz;
        if (hz < 40 || hz > 16000 || db[k] < db[k - 1] || db[k] < db[k + 1]) continue;
        // A tone that rings for 10 ms or more is narrow: it falls 6 dB within 30 Hz (or 1 %)
        // on both sides. A click of noise is a lump hundreds of hertz wide.
        std::size_t span = std::size_t(std::max(30.0, hz * 0.01) / bin_hz);
        std::size_t lo = k > span ? k - span : 0, hi = std::min(db.size() - 1, k + span);
        double left_min = db[k], right_min = db[k];
        bool highest = true;
        for (std::size_t j = lo; j <= hi && highest; ++j) {
            highest = db[j] <= db[k];
            if (j < k) left_min = std::min(left_min, db[j]);
            if (j > k) right_min = std::min(right_min, db[j]);
        }
        if (!highest || db[k] - left_min < 6 || db[k] - right_min < 6) continue;
        // ... and stands 10 dB over the middle level of its third octave, which the random
        // spikes of a long noise seldom do.
        around.assign(db.begin() + std::ptrdiff_t(hz / 1.1225 / bin_hz),
                      db.begin() + std::ptrdiff_t(hz * 1.1225 / bin_hz));
        std::nth_element(around.begin(), around.begin() + std::ptrdiff_t(around.size() / 2), around.end());
        if (db[k] - around[around.size() / 2] >= 10) found.push_back({hz, db[k]});
    }
    std::sort(found.begin(), found.end(), [](const Partial& a, const Partial& b) { return a.db > b.db; });
    std::vector<Partial> out;
    for (const Partial& p : found)
        if (p.db >= found.front().db - within_db) out.push_back({p.hz, p.db - found.front().db});
    return out;
}

double spectral_centroid(const std::vector<float>& mono, int rate)
{
    const std::size_t frame = 2048;
    std::vector<double> power = average_power(mono, frame);
    double sum = 0, weighted = 0;
    for (std::size_t i = 0; i < power.size(); ++i) {
        double a = std::sqrt(power[i]);
        sum += a, weighted += a * double(i) * rate / double(frame);
    }
    return sum > 0 ? weighted / sum : 0;
}

Edges edges(const Sound& s)
{
    Edges e;
    if (s.frames() == 0) return e;
    const std::size_t ch = std::size_t(s.channels), last = s.frames() - 1;
    double tail = 0;
    const std::size_t tail_frames = std::min(s.frames(), std::size_t(s.rate) / 200);
    for (std::size_t c = 0; c < ch; ++c) {
        e.first = std::max(e.first, double(std::fabs(s.samples[c])));
        e.last = std::max(e.last, double(std::fabs(s.samples[last * ch + c])));
        for (std::size_t i = s.frames() - tail_frames; i < s.frames(); ++i)
            tail = std::max(tail, double(std::fabs(s.samples[i * ch + c])));
    }
    e.tail_dbfs = tail > 0 ? 20 * std::log10(tail) : -200;
    return e;
}

double peak_dbfs(const Sound& s)
{
    float p = 0;
    for (float v : s.samples) p = std::max(p, std::fabs(v));
    return p > 0 ? 20 * std::log10(double(p)) : -200;
}

std::vector<double> band_spectrum(const Sound& s)
{
    const std::size_t frame = 8192;
    std::vector<double> power = average_power(mid_channel(s), frame);
    auto mel = [](double hz) { return 2595 * std::log10(1 + hz / 700); };
    auto hz_of = [](double m) { return 700 * (std::pow(10.0, m / 2595) - 1); };
    // 40 triangular bands evenly spaced in mel up to 16 kHz: the range the Vorbis encoder
    // keeps, so its cut-off, the same in every file, does not make tunes look alike
    const int count = 40;
    const double top = mel(16000);
    std::vector<double> bands;
    for (int b = 0; b < count; ++b) {
        double lo = hz_of(top * b / (count + 1)), mid = hz_of(top * (b + 1) / (count + 1)),
               hi = hz_of(top * (b + 2) / (count + 1)), sum = 1e-20;
        for (std::size_t i = 0; i < power.size(); ++i) {
            double hz = double(i) * s.rate / double(frame);
            if (hz > lo && hz < hi) sum += power[i] * (hz < mid ? (hz - lo) / (mid - lo) : (hi - hz) / (hi - mid));
        }
        bands.push_back(10 * std::log10(sum));
    }
    return bands;
}

double correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < n; ++i) ma += a[i], mb += b[i];
    ma /= double(n), mb /= double(n);
    double sab = 0, saa = 0, sbb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        sab += (a[i] - ma) * (b[i] - mb);
        saa += (a[i] - ma) * (a[i] - ma);
        sbb += (b[i] - mb) * (b[i] - mb);
    }
    return saa > 0 && sbb > 0 ? sab / std::sqrt(saa * sbb) : std::nan("");
}

}   // namespace soundcheck
