// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of play on a full level with 64 balls in flight: the logic alone, and with drawing
// in software as a headless run (or a window without a GPU) draws it.
#include <benchmark/benchmark.h>

#include <memory>

#include "core/assets.h"
#include "game/game_flow.h"
#include "game/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/bullet.h"
#include "play/explosion.h"
#include "play/level.h"
#include "play/spark.h"

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
        create_ball(world, rnd(60, 740), rnd(300, 520), BallMode::normal, ball_size_normal, world.ball_base_speed,
                    rnd(-70, 70), 1, 1);
}

// The worst play can reach on top of the 64 balls: 2000 sparks, 40 projectiles with their
// trails, the ion beam firing, and blasts going off across the bricks. Kept topped up, so every
// measured frame carries all of it.
void top_up_mayhem(World& world, int frame)
{
    // Mostly impact sparks, as bursts and blasts make them, with ball sparks and a few flashes.
    constexpr int mix[20] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 3, 1};
    while (world.spark_list.size() < 2000)
        spawn_spark(world, rnd(20, 780), rnd(60, 560), 0, 360, mix[rand(0, 19)]);
    const int weapons[] = {weapon_phaser, weapon_machinegun, weapon_plasma_cannon, weapon_rockets,
                           weapon_homing_rockets};
    while (world.bullet_list.size() < 40)
        fire_bullet(world, rnd(40, 760), rnd(300, 560), weapons[rand(0, 4)], 6, rnd(-120, -60), 3);
    world.current_weapon = weapon_ion_beam;
    world.weapon_ammo = 1;
    world.ion_beam_state = IonBeamState::firing;
    world.ion_beam_fire_frames = frame % 40;
    if (frame % 4 == 0) new_explosion(world, rnd(40, 700), rnd(60, 300), 120, 60, 0);
}

void run_play_frames(benchmark::State& state, bool mayhem)
{
    static std::unique_ptr<World> world = make_world();
    int frame = 0;
    for (auto _ : state) {
        if (frame++ % frames_per_scene == 0) {
            state.PauseTiming();
            lay_out_scene(*world);
            state.ResumeTiming();
        }
        if (mayhem) {
            state.PauseTiming();
            top_up_mayhem(*world, frame);
            state.ResumeTiming();
        }
        clear_screen();
        update_screen_shake(*world);
        draw_background(*world);
        update_world(*world);
        update_game(*world);
    }
    state.counters["balls"] = static_cast<double>(world->ball_list.size());
    state.counters["sparks"] = static_cast<double>(world->spark_list.size());
}

void BM_PlayFrameLogic(benchmark::State& state)
{
    use_virtual_clock(true);
    set_drawing_enabled(false);
    run_play_frames(state, false);
    set_drawing_enabled(true);
}
BENCHMARK(BM_PlayFrameLogic)->Unit(benchmark::kMicrosecond);

void BM_WorstFrameLogic(benchmark::State& state)
{
    use_virtual_clock(true);
    set_drawing_enabled(false);
    run_play_frames(state, true);
    set_drawing_enabled(true);
}
BENCHMARK(BM_WorstFrameLogic)->Unit(benchmark::kMicrosecond);

void BM_PlayFrameDrawnInSoftware(benchmark::State& state)
{
    open_offscreen_display();
    run_play_frames(state, false);
}
BENCHMARK(BM_PlayFrameDrawnInSoftware)->Unit(benchmark::kMicrosecond);

void BM_WorstFrameDrawnInSoftware(benchmark::State& state)
{
    open_offscreen_display();
    run_play_frames(state, true);
}
BENCHMARK(BM_WorstFrameDrawnInSoftware)->Unit(benchmark::kMicrosecond);

}  // namespace
