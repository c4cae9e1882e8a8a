// SPDX-License-Identifier: GPL-3.0-or-later
// What the drawing operations put on the screen: blend modes, colour, outlines with their last
// pixel, the screen fade and the grab used by pauses and fades.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/drawing.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/display_internal.h"
#include "platform/input.h"
#include "tests/support/test_support.h"

namespace {

class Drawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensure_headless_display();
        reset_draw_state();
        clear_screen();
    }
    void TearDown() override { reset_draw_state(); }
};

TEST_F(Drawing, AlphaBlendMixesAndLightAdds)
{
    set_color(200, 100, 0);
    set_alpha(0.5f);
    set_blend(blend_alpha);
    draw_rect(10, 10, 4, 4);
    const Rgb mixed = screen_pixel(11, 11);
    EXPECT_NEAR(mixed.r, 100, 1);
    EXPECT_NEAR(mixed.g, 50, 1);
    set_blend(blend_light);
    set_alpha(1);
    set_color(100, 100, 100);
    draw_rect(10, 10, 4, 4);
    draw_rect(10, 10, 4, 4);
    const Rgb added = screen_pixel(11, 11);
    EXPECT_EQ(added.r, 255);   // 100 + 100 + 100, saturated
    EXPECT_NEAR(added.g, 250, 1);
    EXPECT_NEAR(added.b, 200, 1);
    EXPECT_EQ(screen_pixel(14, 14).r, 0);   // the rectangle ends at 10 + 4
}

TEST_F(Drawing, ImagesAreTintedAndPlacedAtTheirHandle)
{
    Pixels white;
    white.width = white.height = 14;
    white.rgba.assign(14 * 14 * 4, 255);
    Image ball = create_image_from_pixels(white, 14, 14, 0, 1, -1);
    mid_handle_image(ball);
    set_color(255, 0, 0);
    draw_image(ball, 100, 100, 0);
    EXPECT_EQ(screen_pixel(93, 93).r, 255);
    EXPECT_EQ(screen_pixel(93, 93).g, 0);
    EXPECT_EQ(screen_pixel(106, 106).r, 255);
    EXPECT_EQ(screen_pixel(92, 100).r, 0);
    EXPECT_EQ(screen_pixel(107, 100).r, 0);
}

TEST_F(Drawing, TurnedAndScaledPicturesKeepTheirColours)
{
    // A white glow with soft edges: however it is turned or scaled, every pixel drawn stays grey
    // (no channel may carry into another when neighbouring pixels are mixed).
    Pixels glow;
    glow.width = glow.height = 21;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) {
            const int d = std::abs(x - 10) + std::abs(y - 10);
            glow.rgba.insert(glow.rgba.end(), {255, 255, 255, static_cast<std::uint8_t>(d > 12 ? 0 : 255 - d * 19)});
        }
    Image image = create_image_from_pixels(glow, 21, 21, 0, 1, -1);
    mid_handle_image(image);
    const float turns[][3] = {{30, 1, 1}, {0, 0.7f, 0.7f}, {45, 1.1f, 1.1f}, {200, 2, 0.5f}};
    for (const auto& t : turns) {
        clear_screen();
        set_blend(blend_light);
        set_rotation(t[0]);
        set_scale(t[1], t[2]);
        draw_image(image, 100, 100, 0);
        reset_draw_state();
        const Pixels screen = read_screen();
        int lit = 0;
        for (int y = 70; y < 130; ++y)
            for (int x = 70; x < 130; ++x) {
                const std::uint8_t* p = &screen.rgba[(static_cast<std::size_t>(y) * 800 + x) * 4];
                ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y << " turned " << t[0];
                lit += p[0] > 0 ? 1 : 0;
            }
        EXPECT_GT(lit, 50) << "turned " << t[0];
    }
}

TEST_F(Drawing, FrameRectIncludesItsLastPixels)
{
    draw_frame_rect(20, 20, 5, 5);
    EXPECT_EQ(screen_pixel(20, 20).r, 255);
    EXPECT_EQ(screen_pixel(25, 25).r, 255);
    EXPECT_EQ(screen_pixel(25, 20).r, 255);
    EXPECT_EQ(screen_pixel(22, 22).r, 0);   // outline only
}

TEST_F(Drawing, ResetDrawStateRestoresTheNormalState)
{
    set_blend(blend_light);
    set_alpha(0.2f);
    set_rotation(45);
    set_scale(2, 2);
    reset_draw_state();
    EXPECT_EQ(current_blend(), blend_alpha);
    EXPECT_EQ(current_alpha(), 1);
    EXPECT_EQ(current_rotation(), 0);
    EXPECT_EQ(current_scale_x(), 1);
}

TEST_F(Drawing, ScreenFadeLiftsOverTwentyFiveFrames)
{
    World world;
    world.screen_fade_alpha = 1;
    int frames = 0;
    while (world.screen_fade_alpha > 0 && frames < 100) {
        set_color(255, 255, 255);
        draw_rect(0, 0, 50, 50);
        update_screen_fade(world);
        ++frames;
        if (frames == 1) {
            EXPECT_EQ(screen_pixel(5, 5).r, 0);   // the first frame is black
        }
    }
    EXPECT_EQ(frames, 25);
    EXPECT_EQ(world.screen_fade_alpha, 0);
}

TEST_F(Drawing, GrabKeepsWhatWasDrawnSoFar)
{
    Image grab = create_image(800, 600, 1, image_masked | image_dynamic);
    set_color(0, 255, 0);
    draw_rect(300, 200, 10, 10);
    grab_image(grab, 0, 0, 0);
    clear_screen();
    EXPECT_EQ(screen_pixel(305, 205).g, 0);
    reset_draw_state();
    draw_image(grab, 0, 0, 0);
    EXPECT_EQ(screen_pixel(305, 205).g, 255);
    EXPECT_EQ(screen_pixel(315, 205).g, 0);
}

// A grab into a masked picture leaves out the mask colour, as loading a masked picture does;
// an unmasked one keeps it.
TEST_F(Drawing, AGrabIntoAMaskedPictureLeavesOutTheMaskColour)
{
    Image masked = create_image(800, 600, 1, image_masked | image_dynamic);
    Image plain = create_image(800, 600, 1, image_dynamic);
    set_color(255, 0, 255);
    draw_rect(300, 200, 10, 10);
    set_color(0, 255, 0);
    draw_rect(320, 200, 10, 10);
    grab_image(masked, 0, 0, 0);
    grab_image(plain, 0, 0, 0);
    const auto over_blue = [](Image grab) {
        set_color(0, 0, 200);
        draw_rect(0, 0, 800, 600);
        reset_draw_state();
        draw_image(grab, 0, 0, 0);
    };
    over_blue(masked);
    EXPECT_EQ(screen_pixel(305, 205).b, 200) << "the mask colour lets the blue through";
    EXPECT_EQ(screen_pixel(305, 205).r, 0);
    EXPECT_EQ(screen_pixel(325, 205).g, 255);
    EXPECT_EQ(screen_pixel(100, 100).b, 0) << "the black around it is grabbed too";
    over_blue(plain);
    EXPECT_EQ(screen_pixel(305, 205).r, 255);
}

// The picture as it is now, without drawing first what a read of the screen would draw.
std::vector<std::uint32_t> picture_as_shown()
{
    using namespace display_detail;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(screen_width) * screen_height);
    if (display.canvas == nullptr) {
        SDL_RenderReadPixels(display.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), screen_width * 4);
        return pixels;
    }
    const CanvasView view = canvas_view();
    for (int y = 0; y < screen_height; ++y)
        std::copy_n(view.pixels + static_cast<std::ptrdiff_t>(y) * view.pitch_pixels, screen_width,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * screen_width);
    return pixels;
}

// What the window shows between frames, or just before a frame is presented: the last frame
// drawn again with the pointer's things where the pointer is now. It is the very picture the
// next frame draws with them there, the things drawn after them still on top; and the frame
// after shows none of it where the pointer went on.
TEST_F(Drawing, ThePointersThingsDrawnAgainWhereThePointerIsAreThatFrame)
{
    Pixels stripes;
    stripes.width = 90, stripes.height = 12;
    for (int i = 0; i < 90 * 12; ++i) stripes.rgba.insert(stripes.rgba.end(), {255, std::uint8_t(i * 7), 40, 255});
    Image paddle = create_image_from_pixels(stripes, 90, 12, 0, 1, -1);
    mid_handle_image(paddle);
    const auto frame = [&](int x) {
        move_mouse(x, 300);
        clear_screen();
        set_color(20, 60, 90);
        draw_rect(0, 0, 800, 600);
        set_color(200, 0, 0);
        draw_rect(100, 560, 600, 4);
        begin_following_pointer(PointerFollow{.min_x = 120, .max_x = 680});
        set_color(255, 255, 255);
        set_alpha(0.75f);
        draw_image(paddle, static_cast<float>(mouse_x()), 570, 0);
        end_following_pointer();
        reset_draw_state();
        set_color(0, 255, 0);
        draw_rect(395, 566, 9, 9);   // a ball, over the paddle and not following it
        reset_draw_state();
        flip(-1);
    };
    frame(300);
    ASSERT_TRUE(display_detail::draw_following_at(423, 300));
    const std::vector<std::uint32_t> early = picture_as_shown();
    frame(423);
    const std::vector<std::uint32_t> next = picture_as_shown();
    EXPECT_TRUE(early == next) << "the paddle drawn early is not where the frame draws it";
    ASSERT_TRUE(display_detail::draw_following_at(760, 300));   // held at max_x
    frame(423);
    EXPECT_TRUE(picture_as_shown() == next) << "the frame after still shows the paddle drawn early";
}

}  // namespace
