// SPDX-License-Identifier: GPL-3.0-or-later
// The window: where the picture sits in it, how it is enlarged, how pointer positions map back,
// how large a window may open, and the settings file that remembers it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "game/options.h"
#include "platform/display.h"
#include "platform/render_internal.h"
#include "platform/vsync_latch.h"
#include "platform/window_fit.h"
#include "platform/window_settings.h"

namespace {

namespace fs = std::filesystem;

struct BoxCase {
    int output_w, output_h;
    PictureBox box;
    int whole;
};

class PictureBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(PictureBoxes, FillTheOutputWithTheAspectKeptAndBarsElsewhere)
{
    const BoxCase& c = GetParam();
    const PictureBox box = picture_box(c.output_w, c.output_h);
    EXPECT_EQ(box.x, c.box.x);
    EXPECT_EQ(box.y, c.box.y);
    EXPECT_EQ(box.w, c.box.w);
    EXPECT_EQ(box.h, c.box.h);
    EXPECT_EQ(whole_scale(c.output_w, c.output_h), c.whole);
}

INSTANTIATE_TEST_SUITE_P(Outputs, PictureBoxes,
                         ::testing::Values(BoxCase{800, 600, {0, 0, 800, 600}, 1},
                                           BoxCase{1920, 1080, {240, 0, 1440, 1080}, 1},
                                           BoxCase{1600, 1200, {0, 0, 1600, 1200}, 2},
                                           BoxCase{2560, 1440, {320, 0, 1920, 1440}, 2},
                                           BoxCase{3840, 2160, {480, 0, 2880, 2160}, 3},
                                           BoxCase{1000, 600, {100, 0, 800, 600}, 1},
                                           BoxCase{800, 1000, {0, 200, 800, 600}, 1},
                                           BoxCase{1023, 767, {0, 0, 1022, 767}, 1}));

TEST(PointerMapping, FollowsThePictureOnTheScreenBarsIncluded)
{
    // Full screen at 1920 x 1080: the picture is 1440 wide from x 240, not the screen's width.
    const PictureBox box = picture_box(1920, 1080);
    int x = 0, y = 0;
    output_to_picture(box, 960, 540, x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    output_to_picture(box, 240 + 180, 540, x, y);
    EXPECT_EQ(x, 100) << "a pointer 180 px into the picture is 100 picture pixels in, as it is 180 px down";
    output_to_picture(box, 100, 1079, x, y);   // on the left bar
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 599);
    output_to_picture(box, 1900, 0, x, y);   // on the right bar
    EXPECT_EQ(x, 799);
    // The bars are no part of the picture: the game's own pointer is not drawn there.
    EXPECT_FALSE(output_in_picture(box, 100, 540));
    EXPECT_FALSE(output_in_picture(box, 1900, 540));
    EXPECT_TRUE(output_in_picture(box, 240, 0));
    EXPECT_TRUE(output_in_picture(box, 1679, 1079));
    EXPECT_FALSE(output_in_picture(box, 1680, 1079));
    // Every picture pixel sent to the screen comes back to itself, whatever the enlargement.
    for (const PictureBox b : {picture_box(800, 600), box, picture_box(1600, 1200), picture_box(1030, 700)}) {
        for (int px = 0; px < 800; px += 7) {
            double ox = 0, oy = 0;
            picture_to_output(b, px, 599 - px * 599 / 800, ox, oy);
            output_to_picture(b, ox, oy, x, y);
            ASSERT_EQ(x, px) << b.w << " x " << b.h;
            ASSERT_EQ(y, 599 - px * 599 / 800) << b.w << " x " << b.h;
        }
    }
}

TEST(WindowSize, ScaleShrinksToTheLargestThatFitsTheUsableArea)
{
    EXPECT_EQ(fitting_scale(3, 1024, 768), 1);
    EXPECT_EQ(fitting_scale(2, 1920, 1050), 1);   // 1080p less a panel: 1600 x 1200 would not fit
    EXPECT_EQ(fitting_scale(2, 1920, 1200), 2);
    EXPECT_EQ(fitting_scale(8, 3840, 2130), 3);
    EXPECT_EQ(fitting_scale(1, 640, 480), 1);     // never below one
}

// A picture of black with one-pixel white columns at x 100..110, every other one.
SDL_Surface* striped_picture()
{
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, screen_width, screen_height, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_FillRect(picture, nullptr, 0xff000000);
    for (int x = 100; x <= 110; x += 2) {
        SDL_Rect column{x, 0, 1, screen_height};
        SDL_FillRect(picture, &column, 0xffffffff);
    }
    return picture;
}

// The light of one row of the surface summed over the stripe area, one column's worth per white column.
std::vector<int> row_light(SDL_Surface* surface, int row, int from, int to)
{
    std::vector<int> light;
    const auto* pixels = static_cast<const std::uint32_t*>(surface->pixels) + row * (surface->pitch / 4);
    for (int x = from; x < to; ++x) light.push_back(static_cast<int>(pixels[x] & 0xff));
    return light;
}

TEST(EvenScaling, WholeMultiplesStaySharpAndEveryStrokeKeepsItsWidth)
{
    SDL_Surface* picture = striped_picture();
    SDL_Surface* enlarged = nullptr;
    // Twice the size: each column exactly two pixels of full white, nothing in between.
    SDL_Surface* double_size = SDL_CreateRGBSurfaceWithFormat(0, 1600, 1200, 32, SDL_PIXELFORMAT_XRGB8888);
    blit_evenly(picture, double_size, SDL_Rect{0, 0, 1600, 1200}, enlarged);
    const std::vector<int> sharp = row_light(double_size, 300, 196, 224);
    for (int ox = 196; ox < 224; ++ox) {
        const int column = ox / 2;
        const bool white = column >= 100 && column <= 110 && column % 2 == 0;
        EXPECT_EQ(sharp[ox - 196], white ? 255 : 0) << "x " << ox;
    }
    // 2.5 times: each column's light sums to 2.5 columns whatever its place, where the nearest
    // pixel alone would make some columns two pixels wide and others three.
    SDL_Surface* uneven = SDL_CreateRGBSurfaceWithFormat(0, 2000, 1500, 32, SDL_PIXELFORMAT_XRGB8888);
    blit_evenly(picture, uneven, SDL_Rect{0, 0, 2000, 1500}, enlarged);
    for (int x = 100; x <= 110; x += 2) {
        // The column's light falls within the 2.5 px of its own place and a pixel either side.
        const int from = static_cast<int>(x * 2.5) - 1, to = static_cast<int>((x + 1) * 2.5) + 2;
        int sum = 0;
        for (int v : row_light(uneven, 700, from, to)) sum += v;
        EXPECT_NEAR(sum / 255.0, 2.5, 0.25) << "column " << x;
    }
    SDL_FreeSurface(enlarged);
    SDL_FreeSurface(uneven);
    SDL_FreeSurface(double_size);
    SDL_FreeSurface(picture);
}

TEST(WindowSettingsFile, ReadsWhatItWritesAndSkipsWhatIsDamaged)
{
    const WindowSettings window{false, 1024, 768};
    const WindowSettings back = parse_window_settings(format_window_settings(window));
    EXPECT_FALSE(back.fullscreen);
    EXPECT_EQ(back.width, 1024);
    EXPECT_EQ(back.height, 768);
    // Damaged lines keep the defaults of their own field only.
    const WindowSettings damaged = parse_window_settings("fullscreen 2\nsize 99999 600\n# size 10 10\n");
    EXPECT_TRUE(damaged.fullscreen);
    EXPECT_EQ(damaged.width, 800);
    EXPECT_EQ(damaged.height, 600);
    const WindowSettings partial = parse_window_settings("size 1200 900 7\nfullscreen 0 \r\nsize 1000\nsize x y\n");
    EXPECT_FALSE(partial.fullscreen);
    EXPECT_EQ(partial.width, 800);
    EXPECT_TRUE(parse_window_settings(std::string("\0\xff size", 7)).fullscreen);
}

TEST(WindowSettingsFile, KeptInThePerUserFolder)
{
    const fs::path dir = fs::temp_directory_path() / "kalventor_window_settings";
    fs::remove_all(dir);
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string old_value = old ? old : "";
    setenv("XDG_DATA_HOME", dir.c_str(), 1);
    EXPECT_FALSE(load_window_settings().has_value());
    save_window_settings(WindowSettings{false, 1280, 960});
    const auto loaded = load_window_settings();
    ASSERT_TRUE(loaded.has_value());
    EXPECT_FALSE(loaded->fullscreen);
    EXPECT_EQ(loaded->width, 1280);
    EXPECT_EQ(window_settings_path().rfind(dir.string(), 0), 0u) << window_settings_path();
    if (old) setenv("XDG_DATA_HOME", old_value.c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
    fs::remove_all(dir);
}

TEST(CommandLine, WindowModeOptions)
{
    const auto parsed = parse_options({"--fullscreen", "--gpu"});
    ASSERT_TRUE(parsed.error.empty()) << parsed.error;
    EXPECT_TRUE(parsed.options.fullscreen);
    EXPECT_TRUE(parsed.options.gpu);
    EXPECT_FALSE(parse_options({"--gpu", "--software"}).error.empty());
}

// With vertical sync a drawn frame waits for the mouse until its margin before the next blank.
// A present that then misses its blank widens the margin, up to a whole refresh (no wait at
// all); a miss by a frame that did not wait leaves it, and ten seconds on time narrow it again.
TEST(VsyncLatchTiming, WaitsUntilTheMarginAndLearnsItFromMissedBlanks)
{
    VsyncLatch latch;
    EXPECT_EQ(vsync_latch_deadline(latch, 1000), -1) << "no blank seen yet";
    vsync_present_done(latch, 100000, false);
    EXPECT_EQ(vsync_latch_deadline(latch, 101000), 100000 + 16667 - 4000);
    EXPECT_EQ(vsync_latch_deadline(latch, 112667), -1) << "drawn too late to wait";

    std::int64_t now = 100000;
    vsync_present_done(latch, now += 2 * 16667, false);
    EXPECT_EQ(latch.margin_us, 4000) << "a slow frame is not the wait's fault";
    for (const std::int64_t widened : {6000, 8000, 10000, 12000, 14000, 16000, 16667, 16667}) {
        vsync_present_done(latch, now += 2 * 16667, true);
        EXPECT_EQ(latch.margin_us, widened);
    }
    EXPECT_EQ(vsync_latch_deadline(latch, now), -1) << "a margin of a refresh never waits";

    for (int i = 0; i < 600 * 30; ++i) vsync_present_done(latch, now += 16667, i % 2 == 0);
    EXPECT_EQ(latch.margin_us, vsync_least_margin_us);
    vsync_present_done(latch, now += 16667 * 3 / 2 + 1, true);
    EXPECT_EQ(latch.margin_us, vsync_least_margin_us + 2000);
}

}  // namespace
