// SPDX-License-Identifier: GPL-3.0-or-later
// Checks of the generator's own building blocks: the painter, the encoders, the synthesis
// finishing pass, the music loop, the lettering tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "asset_table.h"
#include "canvas.h"
#include "codecs.h"
#include "font_bitmaps.h"
#include "loop_buffer.h"
#include "media_readers.h"
#include "sounds.h"
#include "synth.h"

namespace mg = mediagen;

TEST(Canvas, SupersamplingGivesPartialCoverageOnEdges) {
    mg::Canvas c(4, 1);
    // a half-plane whose edge runs through the middle of pixel 1
    c.paint([](float x, float) { return x < 1.5f ? mg::rgb(255, 255, 255) : mg::Color{}; }, 4);
    EXPECT_FLOAT_EQ(c.get(0, 0).a, 1.0f);
    EXPECT_NEAR(c.get(1, 0).a, 0.5f, 0.01f);
    EXPECT_FLOAT_EQ(c.get(2, 0).a, 0.0f);
}

TEST(Canvas, OutputNeverHoldsTheTransparentMagenta) {
    mg::Canvas c(2, 1);
    c.set(0, 0, mg::rgb(255, 0, 255));
    c.set(1, 0, mg::rgb(10, 200, 30, 0.5f));
    auto px = c.rgba8();
    EXPECT_EQ(px[0], 255);
    EXPECT_NE(px[1], 0) << "pure magenta must be nudged";
    EXPECT_EQ(px[2], 255);
    EXPECT_EQ(px[7], 128);
}

TEST(Canvas, InvisibleEdgePixelsTakeTheirNeighboursColour) {
    mg::Canvas c(6, 1);
    c.set(0, 0, mg::rgb(200, 100, 50));
    auto px = c.rgba8();
    for (int x = 1; x <= 2; ++x) {
        EXPECT_EQ(px[std::size_t(x) * 4 + 3], 0) << "still invisible";
        EXPECT_EQ(px[std::size_t(x) * 4], 200) << "but coloured like the edge, pixel " << x;
        EXPECT_EQ(px[std::size_t(x) * 4 + 1], 100);
    }
    for (int x = 3; x < 6; ++x) EXPECT_EQ(px[std::size_t(x) * 4], 0) << "far pixels stay black, pixel " << x;
}

TEST(Canvas, OverCompositesStraightColours) {
    mg::Color top = mg::rgb(255, 0, 0, 0.5f), bottom = mg::rgb(0, 0, 255, 1.0f);
    mg::Color c = mg::over(top, bottom);
    EXPECT_NEAR(c.a, 1.0f, 1e-6);
    EXPECT_NEAR(c.r, 0.5f, 1e-6);
    EXPECT_NEAR(c.b, 0.5f, 1e-6);
}

TEST(Canvas, DistanceFunctionsAreSignedTheRightWay) {
    EXPECT_LT(mg::sd_box({5, 5}, {5, 5}, {2, 2}), 0);
    EXPECT_NEAR(mg::sd_box({8, 5}, {5, 5}, {2, 2}), 1.0f, 1e-5);
    EXPECT_NEAR(mg::sd_circle({3, 4}, {0, 0}, 4), 1.0f, 1e-5);
    EXPECT_NEAR(mg::sd_segment({1, 1}, {0, 0}, {2, 0}, 0.5f), 0.5f, 1e-5);
    std::vector<mg::Vec2> tri{{0, 0}, {4, 0}, {0, 4}};
    EXPECT_LT(mg::sd_polygon({1, 1}, tri), 0);
    EXPECT_GT(mg::sd_polygon({3, 3}, tri), 0);
}

TEST(Noise, IsDeterministicAndInRange) {
    for (int i = 0; i < 200; ++i) {
        float x = i * 0.37f, y = i * 0.11f;
        float v = mg::fbm(x, y, 5);
        EXPECT_EQ(v, mg::fbm(x, y, 5));
        EXPECT_GE(v, 0.0f);
        EXPECT_LE(v, 1.0f);
    }
    EXPECT_NE(mg::value_noise(1.5f, 2.5f, 1), mg::value_noise(1.5f, 2.5f, 2)) << "seeds give different fields";
}

TEST(Codecs, PngRoundTripsEveryPixel) {
    mg::Canvas c(7, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) c.set(x, y, mg::rgb(x * 30, y * 80, 200, (x + y) / 9.0f));
    mg::write_file_atomic("/tmp/mediagen_test.png", mg::encode_png(c));
    auto back = mg::read_png("/tmp/mediagen_test.png");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 7);
    EXPECT_EQ(back->height, 3);
    EXPECT_EQ(back->rgba, c.rgba8());
}

TEST(Codecs, WavAndOggKeepLengthAndShape) {
    mg::Samples tone(4410);
    for (std::size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * std::sin(float(i) * 0.0627f);  // 440 Hz
    mg::write_file_atomic("/tmp/mediagen_test.wav", mg::encode_wav(tone, 1));
    auto wav = mg::read_wav("/tmp/mediagen_test.wav");
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->channels, 1);
    EXPECT_EQ(wav->rate, 44100);
    ASSERT_EQ(wav->samples.size(), tone.size());
    for (std::size_t i = 0; i < tone.size(); i += 97) EXPECT_NEAR(wav->samples[i], tone[i], 1.0 / 32000);

    auto ogg = mg::read_ogg_memory(mg::encode_ogg(tone, 1, 0.3f));
    ASSERT_TRUE(ogg);
    EXPECT_EQ(ogg->samples.size(), tone.size()) << "Vorbis keeps the exact sample count";
    EXPECT_NEAR(mg::rms_of(ogg->samples), mg::rms_of(tone), 0.02);
}

TEST(Codecs, RejectsFilesThatAreNotTheirFormat) {
    std::vector<std::uint8_t> junk{'R', 'I', 'F', 'F', 1, 2, 3};
    mg::write_file_atomic("/tmp/mediagen_junk.wav", junk);
    EXPECT_FALSE(mg::read_wav("/tmp/mediagen_junk.wav"));
    EXPECT_FALSE(mg::read_png("/tmp/mediagen_junk.wav"));
    EXPECT_FALSE(mg::read_jpeg("/tmp/mediagen_junk.wav"));
    EXPECT_FALSE(mg::read_ogg_memory(junk));
}

TEST(Synth, FinishingPassFadesCentresAndSetsTheLoudness)
{
    for (float target : {-24.0f, -9.0f}) {   // a quiet level, and one the limiter must help reach
        mg::Samples s(8000, 0.3f);           // a pure offset with a loud start: the worst case for clicks
        for (std::size_t i = 0; i < s.size(); ++i) s[i] += 0.4f * std::sin(float(i) * 0.05f);
        mg::finish_effect(s, target);
        EXPECT_EQ(s.front(), 0.0f);
        for (std::size_t i = s.size() - 5 * 441 / 10; i < s.size(); ++i) ASSERT_EQ(s[i], 0.0f) << "silent last 5 ms";
        EXPECT_NEAR(mg::loudest_400ms_lufs(s), target, 0.1);
        EXPECT_LE(mg::peak_of(s), 0.75f);
        double mean = 0;
        for (float v : s) mean += v;
        EXPECT_LT(std::fabs(mean / s.size()), 0.005);
    }
}

TEST(Music, AComposedLoopHasItsLengthLevelAndSeed) {
    mg::Audio a = mg::compose_track(1, 4);
    ASSERT_EQ(a.channels, 2);
    std::size_t frames = a.samples.size() / 2;
    EXPECT_NEAR(double(frames) / 44100, 4 * 4 * 60.0 / 126, 0.01) << "four bars at 126 beats per minute";
    EXPECT_LE(mg::peak_of(a.samples), 0.86f);
    EXPECT_EQ(a.samples, mg::compose_track(1, 4).samples) << "same seed, same music";
}

TEST(LoopBuffer, NotesRingingPastTheEndSoundOverTheStart) {
    mg::Loop loop(1000);
    mg::Samples note(300, 1.0f);
    loop.add(note, 900, 0, 1.0f);  // 100 frames before the end, 200 after it
    mg::Samples out = loop.interleaved();
    EXPECT_GT(out[2 * 950], 0.5f);
    EXPECT_GT(out[2 * 150], 0.5f) << "the part past the end wrapped to the start";
    EXPECT_FLOAT_EQ(out[2 * 250], 0.0f);
}

TEST(LoopBuffer, EchoAndReverbTailsWrapAroundToo) {
    for (int effect = 0; effect < 2; ++effect) {
        mg::Loop loop(44100);
        mg::Samples click(10, 1.0f);
        loop.add(click, 44000, 0, 1.0f);  // a click near the end
        if (effect == 0) loop.echo(0.05f, 0.5f);
        else loop.reverb(0.8f);
        mg::Samples out = loop.interleaved();
        double start = 0;
        for (std::size_t i = 0; i < 2 * 4410; ++i) start += std::fabs(out[i]);
        EXPECT_GT(start, 0.01) << (effect ? "reverb" : "echo") << " tail missing from the loop's start";
        // and what wraps joins on: no jump across the loop point bigger than inside the tail
        float seam = std::fabs(out[0] - out[out.size() - 2]);
        float inside = 0;
        for (std::size_t i = 2; i < 2 * 4410; i += 2) inside = std::max(inside, std::fabs(out[i] - out[i - 2]));
        EXPECT_LE(seam, inside + 1e-6f);
    }
}

TEST(Lettering, GlyphIndicesFollowTheGlyphTable) {
    for (int i = 0; i < int(mg::glyphs.size()); ++i) EXPECT_EQ(mg::glyph_index(mg::glyphs[std::size_t(i)].character), i);
    EXPECT_EQ(mg::glyph_index('q'), mg::glyph_index('Q'));
    EXPECT_EQ(mg::glyph_index('#'), 47) << "unknown characters draw as a space";
}

TEST(Lettering, BoldCutKeepsOnePixelCounters) {
    const mg::GlyphBitmap& m = mg::body_glyph(mg::glyph_index('M'));
    // row 1 of M is "##.##": the gap in the middle must survive the bold cut
    EXPECT_TRUE(mg::bold_bit(m, 1, 1));
    EXPECT_FALSE(mg::bold_bit(m, 2, 1));
    const mg::GlyphBitmap& i = mg::body_glyph(mg::glyph_index('I'));
    EXPECT_TRUE(mg::bold_bit(i, 3, 3)) << "a lone stem gets its second column";
}

TEST(Catalogue, BrickSizesFollowTheirImageNumber) {
    EXPECT_EQ(mg::brick_width(1), 40);
    EXPECT_EQ(mg::brick_width(13), 40);
    EXPECT_EQ(mg::brick_width(14), 20);
    EXPECT_EQ(mg::brick_width(20), 20);
    EXPECT_EQ(mg::format_of("gfx/a.jpg"), mg::MediaFormat::jpeg);
    EXPECT_EQ(mg::format_of("sound/a.wav"), mg::MediaFormat::wav);
    EXPECT_EQ(mg::format_of("music/a.ogg"), mg::MediaFormat::ogg);
    EXPECT_EQ(mg::format_of("gfx/a.png"), mg::MediaFormat::png);
}
