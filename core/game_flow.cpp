#include "core/game_flow.h"

#include "core/drawing.h"
#include "core/score.h"
#include "core/world.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/random.h"
#include "play/ball.h"
#include "play/brick.h"
#include "play/bullet.h"
#include "play/bullet_shell.h"
#include "play/dynamic_text.h"
#include "play/explosion.h"
#include "play/explosive_sound.h"
#include "play/glow_particle.h"
#include "play/nuke_boom.h"
#include "play/paddle.h"
#include "play/powerup.h"
#include "play/shrapnel.h"
#include "play/spark.h"
#include "ui/hud.h"

void update_screen_shake(World& world)
{
    if (world.screen_shake < 0) world.screen_shake = 0;
    if (world.screen_shake > 50) world.screen_shake = 50;
    if (world.screen_shake > 0) {
        // An offset is drawn anew only once it has run back to 0.
        const float reach = world.screen_shake < 15 ? static_cast<float>(world.screen_shake) : 15.0f;
        if (world.shake_offset_x == 0) world.shake_offset_x = static_cast<int>(rnd(reach, -reach));
        if (world.shake_offset_y == 0) world.shake_offset_y = static_cast<int>(rnd(reach, -reach));
        world.screen_shake -= 1;
    }
    // Truncation makes this one pixel toward 0 per frame.
    const auto damp = [](int offset) {
        if (offset < 0) return static_cast<int>(offset + 0.3f);
        if (offset > 0) return static_cast<int>(offset - 0.3f);
        return 0;
    };
    world.shake_offset_x = damp(world.shake_offset_x);
    world.shake_offset_y = damp(world.shake_offset_y);
}

void draw_background(World& world)
{
    reset_draw_state();
    draw_image_shaken(world, world.assets.background_images[world.theme], 0, 0, 0, 1);
}

void update_world(World& world)
{
    draw_brick_shadows(world);
    update_bullet_trails(world);
    update_bullets(world);
    update_ball_trails(world);
    update_balls(world);
    update_nuke_booms(world);
    update_explosions(world);
    update_glow_particles(world);
    update_ion_beam(world);
    update_bricks(world);
    update_paddle_trails(world);
    update_paddle(world);
    update_shrapnel(world);
    draw_forcefield(world);
    update_mines(world);
    update_bullet_shells(world);
    update_sparks(world);
    draw_hud(world);
    update_powerups(world);
    update_dynamic_texts(world);
    update_explosive_sounds(world);
}

namespace {

// While slow motion runs, each frame sleeps a little longer and the music plays slower.
void update_slow_motion_pace(World& world)
{
    if (world.slow_motion_state <= 0) return;
    delay(static_cast<int>(world.slow_motion_delay));
    set_channel_rate(world.music_channel, world.slow_motion_rate);
}

}  // namespace

void update_game(World& world)
{
    world.frame_mouse_x = static_cast<float>(mouse_x());
    world.frame_mouse_y = static_cast<float>(mouse_y());
    count_score(world);
    update_weapon(world);
    update_slow_motion_pace(world);
    if (world.invisible_ball_timer > 0) world.invisible_ball_timer -= 1;
}

void reset_world(World& world)
{
    world.slow_motion_timer = 0;
    world.slow_motion_rate = 1.0f;
    world.slow_motion_state = 0;
    world.screen_shake = 0;
    world.shake_offset_x = world.shake_offset_y = 0;
    world.game_state = 0;
    world.invisible_ball_timer = 0;
    if (world.charge_channel) stop_channel(world.charge_channel);
    world.remove_sides_state = 0;
    world.current_weapon = -1;
    world.weapon_ammo = 0;
    world.forcefield_state = 0;
    reset_paddle(world);
    clear_bricks(world);
    clear_bullets(world);
    clear_balls(world);
    clear_shrapnel(world);
    clear_sparks(world);
    clear_explosions(world);
    clear_powerups(world);
    clear_ball_trails(world);
    clear_dynamic_texts(world);
    clear_bullet_shells(world);
    clear_nuke_booms(world);
    world.score += world.score_to_add;
    world.score_to_add = 0;
    flush_mouse();
    flush_keys();
}
