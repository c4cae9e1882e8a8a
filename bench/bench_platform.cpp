// SPDX-License-Identifier: GPL-3.0-or-later
// How long the platform's hot operations and a whole menu frame take.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/assets.h"
#include "game/startup.h"
#include "game/backdrop.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/random.h"
#include "platform/render_internal.h"
#include "platform/window_fit.h"
#include "ui/menu_screens.h"

namespace {

Image solid(int w, int h)
{
    Pixels p;
    p.width = w, p.height = h;
    p.rgba.assign(static_cast<std::size_t>(w) * h * 4, 255);
    Image image = create_image_from_pixels(p, w, h, 0, 1, -1);
    return image;
}

// A brick inside the ion beam's mask, the worst case: the whole brick is tested, no hit.
void BM_ImagesCollideBrickAgainstBeamMask(benchmark::State& state)
{
    Image brick = solid(40, 20);
    Pixels beam;
    beam.width = 100, beam.height = 600;
    beam.rgba.assign(100 * 600 * 4, 0);   // transparent: every pixel of the overlap is visited
    Image mask = create_image_from_pixels(beam, 100, 600, 0, 1, -1);
    mid_handle_image(mask);
    for (auto _ : state)
        benchmark::DoNotOptimize(images_collide(brick, 380, 200, 0, 0, 1, 1, mask, 400, 300, 0, 0, 1, 1));
}
BENCHMARK(BM_ImagesCollideBrickAgainstBeamMask);

// A rocket's 31 x 17 mask turned 37 degrees against a brick.
void BM_ImagesCollideRotatedMaskAgainstBrick(benchmark::State& state)
{
    Image brick = solid(40, 20);
    Image rocket = solid(31, 17);
    mid_handle_image(rocket);
    float x = 395;
    for (auto _ : state) {
        benchmark::DoNotOptimize(images_collide(rocket, x, 236, 0, 37, 1, 1, brick, 380, 200, 0, 0, 1, 1));
        x = x > 420 ? 395 : x + 0.25f;
    }
}
BENCHMARK(BM_ImagesCollideRotatedMaskAgainstBrick);

// Decoding every picture, sound and the fonts of the embedded table (music is streamed).
void BM_LoadAllAssets(benchmark::State& state)
{
    open_offscreen_display();
    for (auto _ : state) {
        auto world = std::make_unique<World>();
        load_assets(*world);
        benchmark::DoNotOptimize(world->assets.title);
    }
}
BENCHMARK(BM_LoadAllAssets)->Unit(benchmark::kMillisecond)->Iterations(3);

// One frame of the menu loop, headless: the backdrop game, the screens, the pointer and flip.
void BM_MenuFrame(benchmark::State& state)
{
    open_offscreen_display();
    static auto world = std::make_unique<World>();
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        load_assets(*world);
        world->screen_grab_image = create_image(800, 600, 1, image_masked | image_dynamic);
        seed_rnd(1);
        return_to_menus(*world);
    }
    for (auto _ : state) run_menu_frame(*world);
}
BENCHMARK(BM_MenuFrame)->Unit(benchmark::kMicrosecond);

// Showing a software-drawn picture on a screen of the given size: the whole-factor enlargement and
// the smoothed remainder, into a surface of the X server's usual 32-bit format.
void BM_PresentEvenly(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Surface* screen = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_XRGB8888);
    SDL_SetSurfaceBlendMode(picture, SDL_BLENDMODE_NONE);
    SDL_Surface* enlarged = nullptr;
    const PictureBox box = picture_box(width, height);
    for (auto _ : state) blit_evenly(picture, screen, SDL_Rect{box.x, box.y, box.w, box.h}, enlarged);
    SDL_FreeSurface(enlarged);
    SDL_FreeSurface(screen);
    SDL_FreeSurface(picture);
}
BENCHMARK(BM_PresentEvenly)->Args({800, 600})->Args({1920, 1080})->Args({2560, 1440})->Unit(benchmark::kMicrosecond);

}  // namespace
