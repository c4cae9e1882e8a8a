// SPDX-License-Identifier: GPL-3.0-or-later
// The platform layer: random numbers, images and their collisions, input state, streams, and
// what the drawing operations put on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <set>
#include <vector>

#include "core/math.h"
#include "platform/display.h"
#include "platform/image.h"
#include "platform/input.h"
#include "platform/random.h"
#include "platform/stream.h"
#include "platform/time_spread.h"

namespace {

TEST(Random, FirstValuesForSeedOneFollowTheLehmerRecurrence)
{
    seed_rnd(1);
    // 48271 * 1, then 48271^2 mod (2^31 - 1) = 2330089441 - 2147483647.
    EXPECT_EQ(next_random_state(), 48271);
    EXPECT_EQ(next_random_state(), 182605794);
    // Further values against plain 64-bit arithmetic rather than Schrage's decomposition.
    std::int64_t expected = 182605794;
    for (int i = 0; i < 1000; ++i) {
        expected = expected * 48271 % 2147483647;
        ASSERT_EQ(next_random_state(), expected) << "draw " << i + 3;
    }
}

TEST(Random, SeedsTheGeneratorCannotUseAreReplaced)
{
    for (std::int64_t bad : {std::int64_t{0}, std::int64_t{2147483647}, std::int64_t{0x80000000LL},
                             std::int64_t{0xFFFFFFFFLL}}) {
        seed_rnd(bad);
        EXPECT_EQ(next_random_state(), 4660 * 48271 % 2147483647) << bad;
    }
    seed_rnd(0x80000001LL);   // only the low 31 bits count
    EXPECT_EQ(next_random_state(), 48271);
}

TEST(Random, RndStaysInsideBoundsGivenInEitherOrder)
{
    seed_rnd(99);
    float low = 1e9f, high = -1e9f;
    for (int i = 0; i < 20000; ++i) {
        const float v = rnd(5, -5);
        ASSERT_GE(v, -5.0f);
        ASSERT_LT(v, 5.0f);
        low = std::min(low, v), high = std::max(high, v);
    }
    EXPECT_LT(low, -4.9f);
    EXPECT_GT(high, 4.9f);
    EXPECT_EQ(rnd(3, 3), 3.0f);
}

TEST(Random, RandCoversTheInclusiveRangeEvenly)
{
    seed_rnd(7);
    int counts[3] = {};
    for (int i = 0; i < 30000; ++i) {
        const int v = rand(2, 0);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 2);
        counts[v] += 1;
    }
    for (int c : counts) EXPECT_NEAR(c, 10000, 400);
    EXPECT_EQ(rand(3, 3), 3);
    for (int i = 0; i < 100; ++i) {
        const int v = rand(-3, -1);
        ASSERT_TRUE(v >= -3 && v <= -1);
    }
}

TEST(Random, SameSeedSameSequence)
{
    seed_rnd(123456);
    std::vector<float> first;
    for (int i = 0; i < 50; ++i) first.push_back(rnd(0, 1));
    seed_rnd(123456);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(rnd(0, 1), first[i]);
}

TEST(Arithmetic, ConversionTruncatesTowardZero)
{
    EXPECT_EQ(trunc_int(-0.7), 0);
    EXPECT_EQ(trunc_int(2.99), 2);
    EXPECT_EQ(trunc_int(-7.9), -7);
    EXPECT_EQ(trunc_int(7.9), 7);
}

// A w x h picture, opaque except where the predicate says transparent.
template <typename Hole>
Image make_image(int w, int h, Hole hole)
{
    Pixels p;
    p.width = w, p.height = h;
    p.rgba.assign(static_cast<std::size_t>(w) * h * 4, 255);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (hole(x, y)) p.rgba[(static_cast<std::size_t>(y) * w + x) * 4 + 3] = 0;
    return create_image_from_pixels(p, w, h, 0, 1, -1);
}

Image solid_image(int w, int h)
{
    return make_image(w, h, [](int, int) { return false; });
}

bool collide_plain(Image a, float ax, float ay, Image b, float bx, float by)
{
    return images_collide(a, ax, ay, 0, 0, 1, 1, b, bx, by, 0, 0, 1, 1);
}

TEST(ImagesCollide, TouchingEdgesMissAndOnePixelOverlapHits)
{
    Image a = solid_image(10, 10), b = solid_image(10, 10);
    EXPECT_FALSE(collide_plain(a, 0, 0, b, 10, 0));
    EXPECT_TRUE(collide_plain(a, 0, 0, b, 9, 0));
    EXPECT_FALSE(collide_plain(a, 0, 0, b, 0, 10));
    EXPECT_TRUE(collide_plain(a, 0, 0, b, 0, 9));
    EXPECT_FALSE(collide_plain(a, 0, 0, b, -10, -10));
    EXPECT_TRUE(collide_plain(a, 0, 0, b, -9, -9));
}

TEST(ImagesCollide, MidHandledImageCoversItsCentredSquare)
{
    Image ball = solid_image(14, 14);
    mid_handle_image(ball);
    Image probe = solid_image(1, 1);
    // Drawn at (100, 100) a 14 x 14 picture covers 93 .. 106 on both axes.
    EXPECT_TRUE(collide_plain(ball, 100, 100, probe, 93, 100));
    EXPECT_FALSE(collide_plain(ball, 100, 100, probe, 92, 100));
    EXPECT_TRUE(collide_plain(ball, 100, 100, probe, 106, 106));
    EXPECT_FALSE(collide_plain(ball, 100, 100, probe, 107, 100));
    EXPECT_FALSE(collide_plain(ball, 100, 100, probe, 100, 107));
}

TEST(ImagesCollide, TransparentPixelsNeverCollide)
{
    // A ring: a 10 x 10 square with a 6 x 6 hole in the middle.
    Image ring = make_image(10, 10, [](int x, int y) { return x >= 2 && x < 8 && y >= 2 && y < 8; });
    Image probe = solid_image(2, 2);
    EXPECT_FALSE(collide_plain(ring, 0, 0, probe, 4, 4));
    EXPECT_TRUE(collide_plain(ring, 0, 0, probe, 1, 4));
    EXPECT_EQ(image_alpha_at(ring, 0, 5, 5), 0);
    EXPECT_EQ(image_alpha_at(ring, 0, 0, 0), 255);
}

TEST(ImagesCollide, RotationTurnsAboutTheHandle)
{
    // A 20 x 2 bar centred on (100, 100); turned 90 degrees it stands upright.
    Image bar = solid_image(20, 2);
    mid_handle_image(bar);
    Image probe = solid_image(1, 1);
    EXPECT_TRUE(images_collide(bar, 100, 100, 0, 0, 1, 1, probe, 108, 100, 0, 0, 1, 1));
    EXPECT_FALSE(images_collide(bar, 100, 100, 0, 0, 1, 1, probe, 100, 108, 0, 0, 1, 1));
    EXPECT_FALSE(images_collide(bar, 100, 100, 0, 90, 1, 1, probe, 108, 100, 0, 0, 1, 1));
    EXPECT_TRUE(images_collide(bar, 100, 100, 0, 90, 1, 1, probe, 100, 108, 0, 0, 1, 1));
    // 45 degrees clockwise on screen: the right end goes down and right.
    EXPECT_TRUE(images_collide(bar, 100, 100, 0, 45, 1, 1, probe, 106, 106, 0, 0, 1, 1));
    EXPECT_FALSE(images_collide(bar, 100, 100, 0, 45, 1, 1, probe, 106, 93, 0, 0, 1, 1));
}

TEST(ImagesCollide, ScaleGrowsAboutTheHandle)
{
    Image square = solid_image(10, 10);
    Image probe = solid_image(1, 1);
    EXPECT_FALSE(images_collide(square, 0, 0, 0, 0, 1, 1, probe, 15, 15, 0, 0, 1, 1));
    EXPECT_TRUE(images_collide(square, 0, 0, 0, 0, 2, 2, probe, 15, 15, 0, 0, 1, 1));
    EXPECT_FALSE(images_collide(square, 0, 0, 0, 0, 2, 2, probe, 20, 15, 0, 0, 1, 1));
    // A probe mirrored and scaled three times reaches back into the square.
    EXPECT_TRUE(images_collide(square, 0, 0, 0, 0, 1, 1, probe, 12, 0, 0, 0, -3, 1));
    EXPECT_FALSE(images_collide(square, 0, 0, 0, 0, 0, 1, probe, 5, 5, 0, 0, 1, 1));
}

TEST(ImagesCollide, FramesOfAStripAreTestedApart)
{
    // Two 4 x 4 cells: the first solid, the second empty.
    Pixels strip;
    strip.width = 8, strip.height = 4;
    strip.rgba.assign(8 * 4 * 4, 255);
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x) strip.rgba[(y * 8 + x) * 4 + 3] = 0;
    Image cells = create_image_from_pixels(strip, 4, 4, 0, 2, -1);
    Image probe = solid_image(4, 4);
    EXPECT_EQ(image_frames(cells), 2);
    EXPECT_EQ(image_width(cells), 4);
    EXPECT_TRUE(images_collide(cells, 0, 0, 0, 0, 1, 1, probe, 0, 0, 0, 0, 1, 1));
    EXPECT_FALSE(images_collide(cells, 0, 0, 1, 0, 1, 1, probe, 0, 0, 0, 0, 1, 1));
}

TEST(ImagesCollide, TheUnturnedShortcutAgreesWithTheGeneralTest)
{
    // Speckled pictures at scattered positions: a full turn takes the general path, which must
    // give the same answer as the row-by-row comparison used when nothing is turned or scaled.
    seed_rnd(2024);
    Image a = make_image(23, 11, [](int x, int y) { return (x * 7 + y * 3) % 5 == 0; });
    Image b = make_image(9, 17, [](int x, int y) { return (x + y * 5) % 4 == 1; });
    mid_handle_image(b);
    int hits = 0;
    for (int i = 0; i < 2000; ++i) {
        // Quarter-pixel steps off the half: never exactly on a pixel's edge.
        const float x = static_cast<float>(rand(-40, 40)) + 0.25f, y = static_cast<float>(rand(-30, 30)) + 0.75f;
        const bool quick = images_collide(a, 0, 0, 0, 0, 1, 1, b, x, y, 0, 0, 1, 1);
        const bool general = images_collide(a, 0, 0, 0, 360, 1, 1, b, x, y, 0, 0, 1, 1);
        ASSERT_EQ(quick, general) << x << ", " << y;
        hits += quick ? 1 : 0;
    }
    EXPECT_GT(hits, 100);
    EXPECT_LT(hits, 1900);
}

TEST(ImagesCollide, LeavesTheDrawingStateAlone)
{
    set_rotation(33);
    set_scale(2, 3);
    Image a = solid_image(5, 5);
    images_collide(a, 0, 0, 0, 10, 1.5f, 1.5f, a, 2, 2, 0, 20, 1, 1);
    EXPECT_EQ(current_rotation(), 33);
    EXPECT_EQ(current_scale_x(), 2);
    EXPECT_EQ(current_scale_y(), 3);
    set_rotation(0);
    set_scale(1, 1);
}

TEST(Images, MaskColourBecomesTransparentOnlyWhenMasked)
{
    Pixels p;
    p.width = 2, p.height = 1;
    p.rgba = {255, 0, 255, 255, 255, 0, 254, 255};
    Image masked = create_image_from_pixels(p, 2, 1, 0, 1, image_masked);
    Image plain = create_image_from_pixels(p, 2, 1, 0, 1, 0);
    EXPECT_EQ(image_alpha_at(masked, 0, 0, 0), 0);
    EXPECT_EQ(image_alpha_at(masked, 0, 1, 0), 255);
    EXPECT_EQ(image_alpha_at(plain, 0, 0, 0), 255);
}

TEST(Images, MidHandleFallsOnHalfPixelsForOddSizes)
{
    Image ball = solid_image(9, 9);
    EXPECT_EQ(image_handle_x(ball), 0);
    mid_handle_image(ball);
    EXPECT_EQ(image_handle_x(ball), 4.5f);
    EXPECT_EQ(image_handle_y(ball), 4.5f);
}

TEST(Images, DecodingRejectsDamagedBytes)
{
    Pixels out;
    std::string error;
    const std::vector<std::uint8_t> junk = {1, 2, 3, 4, 5};
    EXPECT_FALSE(decode_picture(junk, out, error));
    const std::vector<std::uint8_t> bad_png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0};
    EXPECT_FALSE(decode_picture(bad_png, out, error));
    EXPECT_FALSE(error.empty());
    const std::vector<std::uint8_t> bad_jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'};
    EXPECT_FALSE(decode_picture(bad_jpeg, out, error));
}

TEST(Images, PngRoundTrip)
{
    const auto path = std::filesystem::temp_directory_path() / "kalventor_png_round_trip.png";
    Pixels p;
    p.width = 3, p.height = 2;
    for (int i = 0; i < 6; ++i) p.rgba.insert(p.rgba.end(), {std::uint8_t(i * 40), 7, 200, std::uint8_t(255 - i)});
    ASSERT_TRUE(write_png(path.string(), p));
    const auto bytes = read_file(path.string());
    ASSERT_TRUE(bytes);
    Pixels back;
    std::string error;
    ASSERT_TRUE(decode_picture(*bytes, back, error)) << error;
    EXPECT_EQ(back.width, 3);
    EXPECT_EQ(back.rgba, p.rgba);
    std::filesystem::remove(path);
}

class Input : public ::testing::Test {
protected:
    void SetUp() override { reset_input(); }
    void TearDown() override { reset_input(); }
};

TEST_F(Input, KeyHitCountsPressesAndReadingClearsThem)
{
    device_key('A', true);
    device_key('A', false);
    device_key('A', true);
    EXPECT_EQ(key_hit('A'), 2);
    EXPECT_EQ(key_hit('A'), 0);
    EXPECT_TRUE(key_down('A'));
    flush_keys();
    EXPECT_FALSE(key_down('A'));
    EXPECT_EQ(key_hit(-1), 0);
    EXPECT_EQ(key_hit(100000), 0);
}

TEST_F(Input, ScriptedKeyIsReleasedOnTheNextFrame)
{
    InputScript script;
    ASSERT_FALSE(parse_input_script("3 key P\n3 mouse 10 20\n4 down\n6 up\n", "t", script));
    play_input_script(script);
    begin_input_frame(2);
    EXPECT_FALSE(key_down(vk_p));
    begin_input_frame(3);
    EXPECT_TRUE(key_down(vk_p));
    EXPECT_EQ(mouse_x(), 10);
    EXPECT_EQ(mouse_y(), 20);
    begin_input_frame(4);
    EXPECT_FALSE(key_down(vk_p));
    EXPECT_EQ(key_hit(vk_p), 1);
    EXPECT_TRUE(mouse_down(1));
    flush_mouse();
    EXPECT_FALSE(mouse_down(1));
    begin_input_frame(6);
    EXPECT_FALSE(mouse_down(1));
}

TEST_F(Input, WaitKeyTakesTheNextKeyOfTheScriptNotOneBefore)
{
    InputScript script;
    ASSERT_FALSE(parse_input_script("0 key A\n50 mouse 1 1\n90 hold Y\n", "t", script));
    play_input_script(script);
    begin_input_frame(0);
    // The A came before the wait: the wait flushes it and takes the Y, far ahead in the script.
    EXPECT_EQ(wait_key(), vk_y);
    EXPECT_TRUE(key_down(vk_y));
    EXPECT_FALSE(key_down('A'));
}

TEST(Streams, LittleEndianRoundTripAndNoReadPastTheEnd)
{
    ByteWriter writer;
    writer.write_int(-5);
    writer.write_int(0x01020304);
    writer.write_float(2.5f);
    writer.write_string("LEVEL ");
    ASSERT_EQ(writer.bytes().size(), 18u);
    EXPECT_EQ(writer.bytes()[4], 0x04);   // least significant byte first
    ByteReader reader(writer.bytes());
    std::int32_t a = 0, b = 0;
    float f = 0;
    std::string s;
    ASSERT_TRUE(reader.read_int(a));
    ASSERT_TRUE(reader.read_int(b));
    ASSERT_TRUE(reader.read_float(f));
    ASSERT_TRUE(reader.read_string(6, s));
    EXPECT_EQ(a, -5);
    EXPECT_EQ(b, 0x01020304);
    EXPECT_EQ(f, 2.5f);
    EXPECT_EQ(s, "LEVEL ");
    EXPECT_FALSE(reader.read_int(a));
    EXPECT_FALSE(reader.read_string(1, s));
    EXPECT_EQ(a, -5);   // a failed read leaves the value alone
}

TEST(Streams, AtomicWriteReplacesWholeFilesAndReportsFailures)
{
    const auto dir = std::filesystem::temp_directory_path() / "kalventor_stream_test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "config.dat").string();
    const std::vector<std::uint8_t> first(802, 1), second = {9, 8, 7};
    ASSERT_FALSE(write_file_atomic(path, first));
    ASSERT_FALSE(write_file_atomic(path, second));
    EXPECT_EQ(*read_file(path), second);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    const auto error = write_file_atomic((dir / "missing" / "config.dat").string(), second);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("missing"), std::string::npos);
    EXPECT_FALSE(read_file((dir / "nothing.dat").string()));
    EXPECT_FALSE(read_file(path, 2));   // larger than the caller allows
    std::filesystem::remove_all(dir);
}

}  // namespace

TEST(TimeSpread, QuantilesStayWithinHalfAPercentOfTheSortedTimes)
{
    std::mt19937 random(3);
    std::lognormal_distribution<float> frame_time(-1.5f, 0.6f);
    TimeSpread spread;
    std::vector<float> times;
    for (int i = 0; i < 20000; ++i) {
        times.push_back(frame_time(random));
        spread.add(times.back());
    }
    spread.add(0);          // an empty frame and one far past the buckets still count
    spread.add(1e7f);
    times.push_back(0), times.push_back(1e7f);
    std::sort(times.begin(), times.end());
    ASSERT_EQ(spread.size(), times.size());
    for (const double q : {0.25, 0.5, 0.9, 0.99}) {
        const double exact = times[static_cast<std::size_t>(q * static_cast<double>(times.size() - 1))];
        EXPECT_NEAR(spread.at(q) / exact, 1, 0.005) << "quantile " << q;
    }
    EXPECT_EQ(spread.max(), 1e7f);
}
