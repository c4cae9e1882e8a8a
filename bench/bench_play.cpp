// One frame of play on a full level with 64 balls in flight: the logic alone, and with drawing
// in software as a headless run (or a window without a GPU) draws it.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/assets.h"
#include "core/game_flow.h"
#include "core/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/level.h"

namespace {

constexpr int balls_in_flight = 64;
constexpr int frames_per_scene = 240;   // then the scene is laid out afresh, before it thins out

std::unique_ptr<World> make_world()
{
    auto world = std::make_unique<World>();
    if (auto error = load_levels(std::string(KALVENTOR_BINARY_DIR) + "/levels.dat", world->levels_per_theme,
                                 world->level_list)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        std::exit(1);
    }
    load_assets(*world);
    world->screen_grab_image = create_image(800, 600, 1, image_masked | image_dynamic);
    return world;
}

// A full level of the ALIEN theme with 64 balls flying in every direction.
void lay_out_scene(World& world)
{
    seed_rnd(11);
    world.attract_mode = 0;
    world.unlimited_lives = true;
    world.theme = 2;
    world.level_number = 20;
    start_new_game(world);
    world.ball_list.front().launch = 1;
    for (int i = 1; i < balls_in_flight; ++i)
        create_ball(world, rnd(60, 740), rnd(300, 520), 0, 1, world.ball_base_speed, rnd(-70, 70), 1, 1);
}

void run_play_frames(benchmark::State& state)
{
    static std::unique_ptr<World> world = make_world();
    int frame = 0;
    for (auto _ : state) {
        if (frame++ % frames_per_scene == 0) {
            state.PauseTiming();
            lay_out_scene(*world);
            state.ResumeTiming();
        }
        clear_screen();
        update_screen_shake(*world);
        draw_background(*world);
        update_world(*world);
        update_game(*world);
    }
    state.counters["balls"] = static_cast<double>(world->ball_list.size());
}

void BM_PlayFrameLogic(benchmark::State& state)
{
    use_virtual_clock(true);
    set_drawing_enabled(false);
    run_play_frames(state);
    set_drawing_enabled(true);
}
BENCHMARK(BM_PlayFrameLogic)->Unit(benchmark::kMicrosecond);

void BM_PlayFrameDrawnInSoftware(benchmark::State& state)
{
    open_offscreen_display();
    run_play_frames(state);
}
BENCHMARK(BM_PlayFrameDrawnInSoftware)->Unit(benchmark::kMicrosecond);

}  // namespace
