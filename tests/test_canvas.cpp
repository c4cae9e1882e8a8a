// SPDX-License-Identifier: GPL-3.0-or-later
// The software blits: the four-at-a-time blend and fill against the one-pixel rule, and turned, scaled
// pictures against a plain pixel-by-pixel walk of the same placement.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/canvas.h"

namespace {

// A premultiplied pixel: no colour channel above its alpha.
std::uint32_t random_texel(std::mt19937& random)
{
    const std::uint32_t a = random() % 256;
    const auto channel = [&] { return a == 0 ? 0u : static_cast<std::uint32_t>(random() % (a + 1)); };
    return a << 24 | channel() << 16 | channel() << 8 | channel();
}

TEST(CanvasBlend, RowsBlendAsEachPixelDoesAlone)
{
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round) {
        const bool light = round % 2 == 1;
        const TexelScale scale = texel_scale(random() % 256, random() % 256, random() % 256, 1 + random() % 255);
        const int n = 1 + round % 11;   // whole fours and the pixels left over
        std::vector<std::uint32_t> texels(n), under(n);
        for (int i = 0; i < n; ++i) {
            texels[i] = random_texel(random);
            under[i] = 0xFF000000u | (random() & 0xFFFFFFu);
        }
        std::vector<std::uint32_t> blended = under;
        blend_row(blended.data(), texels.data(), n, scale, light);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(blended[i], blend_texel_portable(under[i], texels[i], scale, light))
                << "round " << round << " pixel " << i;
    }
}

// A translucent rectangle over a row (four pixels at a time where it can) leaves each pixel as a
// rectangle one pixel wide would.
TEST(CanvasBlend, ATranslucentFillMixesRowsAsEachPixelAlone)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const int n = 1 + round % 13, x0 = static_cast<int>(random() % 3);
        std::vector<std::uint32_t> row(16), alone;
        for (std::uint32_t& pixel : row) pixel = 0xFF000000u | (random() & 0xFFFFFFu);
        alone = row;
        const int r = random() % 256, g = random() % 256, b = random() % 256, alpha = 1 + random() % 254;
        canvas_fill(CanvasView{row.data(), 16, 1, 16}, x0, 0, x0 + n, 1, r, g, b, alpha, false);
        for (int x = x0; x < x0 + n; ++x) canvas_fill(CanvasView{alone.data(), 16, 1, 16}, x, 0, x + 1, 1, r, g, b, alpha, false);
        ASSERT_EQ(row, alone) << "round " << round;
    }
}

TEST(CanvasBlend, FullColourIsExactAndTintsRound)
{
    const TexelScale full = texel_scale(255, 255, 255, 255);
    EXPECT_EQ(blend_texel_portable(0xFF102030u, 0xFFC08040u, full, false), 0xFFC08040u);   // opaque replaces
    EXPECT_EQ(blend_texel_portable(0xFF102030u, 0u, full, false), 0xFF102030u);          // clear keeps
    EXPECT_EQ(blend_texel_portable(0xFFF0F0F0u, 0xFF202020u, full, true), 0xFFFFFFFFu);  // light saturates
    // White tinted (240, 120, 0) gives that colour, not one below it.
    EXPECT_EQ(blend_texel_portable(0xFF000000u, 0xFFFFFFFFu, texel_scale(240, 120, 0, 255), false), 0xFFF07800u);
    // Half alpha mixes halfway.
    const std::uint32_t half = blend_texel_portable(0xFF000000u, 0xFFFFFFFFu, texel_scale(255, 255, 255, 128), false);
    EXPECT_NEAR(static_cast<int>(half & 0xFF), 128, 1);
}

// A picture whose every pixel tells where it came from.
std::vector<std::uint32_t> numbered_picture(int w, int h)
{
    std::vector<std::uint32_t> picture(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) picture[static_cast<std::size_t>(y) * w + x] = 0xFF000000u | y << 8 | x;
    return picture;
}

struct Placement {
    int w, h;
    float hx, hy, x, y, rotation, sx, sy;
};

TEST(CanvasBlitTransformed, EveryPixelShowsThePicturePointUnderItsCentre)
{
    const Placement placements[] = {
        {44, 42, 22, 21, 100, 80, 37, 1, 1},      // a flash, turned
        {44, 42, 22, 21, 60, 60, 200, 0.35f, 0.35f},
        {242, 42, 0, 0, 120, 20, 90, 0.8f, 1.6f},  // a beam column on end, stretched
        {242, 42, 0, 0, 130, 150.3f, -90, 0.5f, 1},
        {5, 1, 0, 0, 50, 50, 123, 1, 1},          // a thin streak
        {30, 20, 15, 10, 5, 5, 45, 3, 0.5f},      // partly off the top-left corner
        {30, 20, 15, 10, 195, 155, 300, 2, 2},    // partly off the bottom-right corner
        {16, 16, 8, 8, 100, 100, 180, -1, 1},     // mirrored
    };
    constexpr int width = 200, height = 160;
    for (const Placement& p : placements) {
        SCOPED_TRACE("picture " + std::to_string(p.w) + "x" + std::to_string(p.h) + " turned " +
                     std::to_string(p.rotation));
        const std::vector<std::uint32_t> picture = numbered_picture(p.w, p.h);
        std::vector<std::uint32_t> screen(static_cast<std::size_t>(width) * height, 0xFF000000u);
        canvas_blit_transformed(CanvasView{screen.data(), width, height, width}, picture.data(), p.w, p.w, p.h, p.hx,
                                p.hy, p.x, p.y, p.rotation, p.sx, p.sy, 255, 255, 255, 255, false, false);
        const double radians = p.rotation * std::acos(-1.0) / 180, c = std::cos(radians), s = std::sin(radians);
        int drawn = 0;
        for (int py = 0; py < height; ++py)
            for (int px = 0; px < width; ++px) {
                const double ex = px + 0.5 - p.x, ey = py + 0.5 - p.y;
                const double u = (c * ex + s * ey) / p.sx + p.hx, v = (-s * ex + c * ey) / p.sy + p.hy;
                // A centre within a hair of a picture pixel's edge may fall either way.
                const auto near_edge = [](double t) { return std::fabs(t - std::round(t)) < 1e-3; };
                if (near_edge(u) || near_edge(v)) continue;
                const bool inside = u >= 0 && v >= 0 && u < p.w && v < p.h;
                const std::uint32_t expected =
                    inside ? picture[static_cast<std::size_t>(v) * p.w + static_cast<std::size_t>(u)] : 0xFF000000u;
                ASSERT_EQ(screen[static_cast<std::size_t>(py) * width + px], expected) << px << "," << py;
                drawn += inside ? 1 : 0;
            }
        EXPECT_GT(drawn, 0);
    }
}

TEST(CanvasBlitTransformed, SoftEdgesStayInsideHalfAPixelOfThePicture)
{
    // Bilinear mixing of a white square, turned: lit pixels lie within the square grown by one
    // pixel, and its middle is full white.
    const int size = 20;
    const std::vector<std::uint32_t> white(size * size, 0xFFFFFFFFu);
    constexpr int width = 80, height = 80;
    std::vector<std::uint32_t> screen(width * height, 0xFF000000u);
    canvas_blit_transformed(CanvasView{screen.data(), width, height, width}, white.data(), size, size, size, 10, 10,
                            40, 40, 30, 1.5f, 1.5f, 255, 255, 255, 255, false, true);
    const double radians = 30 * std::acos(-1.0) / 180, c = std::cos(radians), s = std::sin(radians);
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px) {
            const double ex = px + 0.5 - 40, ey = py + 0.5 - 40;
            const double u = (c * ex + s * ey) / 1.5 + 10, v = (-s * ex + c * ey) / 1.5 + 10;
            const std::uint32_t pixel = screen[static_cast<std::size_t>(py) * width + px] & 0xFFu;
            if (u < -1 || v < -1 || u > size + 1 || v > size + 1) {
                ASSERT_EQ(pixel, 0u) << px << "," << py;
            }
            if (u > 1 && v > 1 && u < size - 1 && v < size - 1) {
                ASSERT_EQ(pixel, 255u) << px << "," << py;
            }
        }
}

}  // namespace

// A frame is drawn again only in the tiles that changed: each pixel must come out the same
// drawn within any clip as drawn whole, for turned and scaled pictures (filtered or not), straight
// ones and fills.
TEST(CanvasClip, DrawingWithinClipsGivesThePixelsOfDrawingWhole)
{
    constexpr int width = 120, height = 100;
    const std::vector<std::uint32_t> picture = numbered_picture(44, 42);
    const auto draw = [&](CanvasView view) {
        canvas_blit_transformed(view, picture.data(), 44, 44, 42, 22, 21, 50.3f, 40.7f, 37, 1.3f, 0.8f, 200, 255, 90,
                                180, false, true);
        canvas_blit_transformed(view, picture.data(), 44, 44, 42, 0, 0, 70.5f, 10.2f, 200, 0.6f, 1.7f, 255, 255, 255,
                                255, true, false);
        canvas_blit(view, picture.data(), 44, 44, 42, 61, 47, 255, 128, 255, 200, false, false);
        canvas_fill(view, 5, 9, 97, 71, 10, 20, 30, 150, false);
    };
    std::vector<std::uint32_t> whole(width * height, 0xFF102030u), clipped = whole;
    draw(CanvasView{whole.data(), width, height, width});
    for (const int tile : {16, 7}) {
        std::fill(clipped.begin(), clipped.end(), 0xFF102030u);
        for (int y = 0; y < height; y += tile)
            for (int x = 0; x < width; x += tile)
                draw(CanvasView{clipped.data(), width, height, width, x, y, x + tile, y + tile});
        EXPECT_TRUE(clipped == whole) << "tiles of " << tile;
    }
}
