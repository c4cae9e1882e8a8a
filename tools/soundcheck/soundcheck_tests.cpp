// SPDX-License-Identifier: GPL-3.0-or-later
// The meters against signals whose figures are known: the EBU's loudness test tones, sums of
// sines with chosen levels.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "measures.h"

using namespace soundcheck;

namespace {

constexpr int rate = 44100;

// A sine of the given peak level in dBFS, `seconds` long, on every channel, appended.
void add_sine(Sound& s, double hz, double dbfs, double seconds)
{
    const double a = std::pow(10.0, dbfs / 20);
    for (int i = 0; i < int(seconds * rate); ++i)
        for (int c = 0; c < s.channels; ++c)
            s.samples.push_back(float(a * std::sin(2 * std::numbers::pi * hz * i / rate)));
}

}   // namespace

TEST(Loudness, EbuTestTonesReadAsTheStandardSays)
{
    // 1 kHz at -23 dBFS on both channels is -23 LUFS; one channel alone 3 LU less.
    Sound stereo{rate, 2, {}}, mono{rate, 1, {}};
    add_sine(stereo, 1000, -23, 2);
    add_sine(mono, 1000, -23, 2);
    EXPECT_NEAR(loudness(stereo).integrated, -23.0, 0.1);
    EXPECT_NEAR(loudness(stereo).loudest_400ms, -23.0, 0.1);
    EXPECT_NEAR(loudness(mono).integrated, -26.0, 0.1);
    // The EBU's gating case: the quiet ends fall under the relative gate.
    Sound gated{rate, 2, {}};
    add_sine(gated, 1000, -36, 10), add_sine(gated, 1000, -23, 20), add_sine(gated, 1000, -36, 10);
    EXPECT_NEAR(loudness(gated).integrated, -23.0, 0.1);
    // 100 ms heard within its 400 ms window: a quarter of the power, 6 LU down.
    Sound burst{rate, 2, {}};
    add_sine(burst, 1000, -23, 0.1);
    EXPECT_NEAR(loudness(burst).loudest_400ms, -29.0, 0.2);
}

TEST(Spectrum, PartialsWithin30DbAreCountedAtTheirFrequencies)
{
    const double hz[5] = {300, 820, 1370, 2110, 3400}, db[5] = {0, -8, -17, -26, -40};
    std::vector<float> s(rate / 4);
    for (std::size_t i = 0; i < s.size(); ++i) {
        double t = double(i) / rate, v = 0;
        for (int k = 0; k < 5; ++k) v += std::pow(10.0, db[k] / 20) * std::sin(2 * std::numbers::pi * hz[k] * t);
        s[i] = float(0.5 * v * std::exp(-t * 8));
    }
    auto found = partials(s, rate, 30);
    ASSERT_EQ(found.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(found[std::size_t(k)].hz, hz[k], 2.0);
        EXPECT_NEAR(found[std::size_t(k)].db, db[k], 1.0);
    }
    // a click of noise is no partial however loud
    std::uint32_t seed = 7;
    for (std::size_t i = 0; i < s.size(); ++i) {
        seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
        s[i] = float((double(seed & 0xffff) / 32768.0 - 1) * std::exp(-double(i) / rate * 150));
    }
    EXPECT_TRUE(partials(s, rate, 30).empty());
}

TEST(Spectrum, CentroidAndBandsSitWhereTheEnergyIs)
{
    Sound one{rate, 1, {}}, two{rate, 1, {}};
    add_sine(one, 1000, -6, 1);
    std::vector<float> mix = one.samples;
    add_sine(two, 3000, -6, 1);
    for (std::size_t i = 0; i < mix.size(); ++i) mix[i] += two.samples[i];
    EXPECT_NEAR(spectral_centroid(one.samples, rate), 1000, 30);
    EXPECT_NEAR(spectral_centroid(mix, rate), 2000, 60);
    auto bands = band_spectrum(one);
    ASSERT_EQ(bands.size(), 40u);
    EXPECT_NEAR(std::max_element(bands.begin(), bands.end()) - bands.begin(), 10.5, 1);   // 1 kHz: 1000 mel
    EXPECT_LT(correlation(bands, band_spectrum(two)), 0.9);
}

TEST(Edges, FirstLastAndTailTakeTheLoudestChannel)
{
    Sound s{rate, 2, std::vector<float>(2 * rate / 10, 0.0f)};
    s.samples[1] = -0.25f;                    // right channel, first frame
    s.samples[s.samples.size() - 2] = 0.5f;   // left channel, last frame
    Edges e = edges(s);
    EXPECT_FLOAT_EQ(float(e.first), 0.25f);
    EXPECT_FLOAT_EQ(float(e.last), 0.5f);
    EXPECT_NEAR(e.tail_dbfs, -6.02, 0.01);
}
