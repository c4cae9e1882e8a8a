// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring stick itself: colour arithmetic against known values, and the picture
// statistics on pictures whose answer is obvious.
#include <gtest/gtest.h>

#include "colour.h"
#include "picture.h"

using namespace lookcheck;

TEST(LookcheckColour, KnownValues)
{
    const Linear white = linear_of(255, 255, 255), black = linear_of(0, 0, 0);
    EXPECT_NEAR(contrast_ratio(luminance(white), luminance(black)), 21, 1e-9);
    EXPECT_NEAR(contrast_ratio(luminance(linear_of(118, 118, 118)), luminance(white)), 4.54, 0.01);
    EXPECT_NEAR(lab_of(white).l, 100, 0.01);
    EXPECT_NEAR(lab_of(white).a, 0, 0.01);
    EXPECT_NEAR(delta_e76(lab_of(white), lab_of(black)), 100, 0.01);
    const Hsv orange = hsv_of(255, 128, 0);
    EXPECT_NEAR(orange.h, 30.1, 0.1);
    EXPECT_NEAR(orange.s, 1, 1e-9);
}

// A grey stays grey for every eye; red and green that differ for most players come close for
// the red-green blind, and blue against green-blue for the blue-yellow blind.
TEST(LookcheckColour, SimulatedDeficiencies)
{
    const Linear grey = linear_of(120, 120, 120);
    for (Vision v : all_visions) EXPECT_LT(delta_e76(lab_of(simulate(v, grey)), lab_of(grey)), 0.01) << vision_name(v);
    const Linear red = linear_of(200, 90, 60), green = linear_of(110, 140, 50);
    const double normal = delta_e76(lab_of(red), lab_of(green));
    EXPECT_GT(normal, 40);
    EXPECT_LT(delta_e76(lab_of(simulate(Vision::deuteranopia, red)), lab_of(simulate(Vision::deuteranopia, green))),
              normal / 3);
    EXPECT_LT(delta_e76(lab_of(simulate(Vision::protanopia, red)), lab_of(simulate(Vision::protanopia, green))),
              normal / 3);
    const Linear blue = linear_of(60, 90, 200), teal = linear_of(40, 140, 140);
    EXPECT_LT(delta_e76(lab_of(simulate(Vision::tritanopia, blue)), lab_of(simulate(Vision::tritanopia, teal))),
              delta_e76(lab_of(blue), lab_of(teal)) / 2);
}

TEST(LookcheckPicture, TextureBlobsAndMeans)
{
    // A flat grey has every neighbour equal, a ramp never: no pattern in common.
    Picture flat = blank(16, 16, {90, 90, 90, 255}), ramp = flat;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) put_texel(ramp, x, y, {10 * x, 10 * x, 10 * x, 255});
    EXPECT_NEAR(hellinger(lbp_histogram(flat), lbp_histogram(flat)), 0, 1e-9);
    EXPECT_NEAR(hellinger(lbp_histogram(flat), lbp_histogram(ramp)), 1, 1e-9);

    Picture dots = blank(8, 8, {0, 0, 0, 0});
    for (int i = 0; i < 4; ++i) put_texel(dots, i, i, {255, 255, 255, 255});   // one diagonal line
    put_texel(dots, 7, 0, {255, 255, 255, 255});
    EXPECT_EQ(largest_blob(dots, [](Texel t) { return t.a > 0; }), 4);

    // Half-transparent white over black counts as the mix of the two, clear pixels not at all.
    const Linear mean = mean_linear(dots, linear_of(0, 0, 0), 1);
    EXPECT_NEAR(mean.r, 1, 1e-9);
    put_texel(dots, 7, 7, {255, 255, 255, 128});
    EXPECT_NEAR(mean_linear(dots, linear_of(0, 0, 0), 1).r, (5 + 128 / 255.0) / 6, 1e-9);
}

// One-pixel black and white stripes change by the whole L* range at every step and spread half
// of it about their mean; a flat grey is calm by both measures.
TEST(LookcheckPicture, BusynessOfStripesAndFlat)
{
    Picture stripes = blank(33, 32, {0, 0, 0, 255});
    for (int y = 0; y < 32; ++y)
        for (int x = 1; x < 33; x += 2) put_texel(stripes, x, y, {255, 255, 255, 255});
    const Busyness striped = busyness(stripes, {0, 0, 32, 32}, 16);
    EXPECT_NEAR(striped.gradient, 100, 0.01);
    EXPECT_NEAR(striped.block_spread, 50, 0.01);
    const Busyness flat = busyness(blank(32, 32, {90, 90, 90, 255}), {0, 0, 32, 32}, 16);
    EXPECT_NEAR(flat.gradient, 0, 1e-9);
    EXPECT_NEAR(flat.block_spread, 0, 1e-9);

    // Two-pixel windows over the stripes each hold one black and one white pixel.
    for (double l : window_luminances(stripes, {0, 0, 32, 32}, 2, 2)) EXPECT_NEAR(l, 0.5, 1e-9);
    EXPECT_EQ(percentile({5, 1, 4, 2, 3}, 0), 1);
    EXPECT_EQ(percentile({5, 1, 4, 2, 3}, 0.5), 3);
    EXPECT_EQ(percentile({5, 1, 4, 2, 3}, 1), 5);
}
