// SPDX-License-Identifier: GPL-3.0-or-later
#include "play/spark.h"

#include <algorithm>
#include <array>

#include "core/drawing.h"
#include "core/geometry.h"
#include "core/math.h"
#include "game/world.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/brick.h"
#include "play/paddle.h"

namespace {

struct CountRange {
    int low, high;
};

// By graphics level LOW, MED, HIGH. A settings file may hold any number; it counts as the
// nearest level.
int detail_index(int gfx_level) { return std::clamp(gfx_level, 0, 2); }

constexpr std::array<int, 3> density_thresholds = {50, 100, 200};
// Every count stands for a flash and a spark, so a LOW explosion makes 24..40 sparks.
constexpr std::array<CountRange, 3> explosion_spark_counts = {{{12, 20}, {20, 55}, {30, 60}}};
// Before the plasma reduction: 10 fewer for a plain plasma hit, 5 fewer for an extra one.
constexpr std::array<CountRange, 3> plasma_spark_counts = {{{15, 20}, {20, 55}, {30, 60}}};

// The neighbourhood whose crowding thins a burst: 250 x 250 around the burst, or a full-height
// strip 250 wide for plasma, which rains sparks down a whole column of bricks.
constexpr float density_half_size = 125;
constexpr float density_size = 250;

constexpr float spark_slow_down = 0.01f;
constexpr float spark_shrink = 0.015f;

struct SparkLook {
    int image;   // 0 small_spark (top-left handle), 1 big_spark (centred), 2 the ion beam picture
    bool tinted;
    int r, g, b;
};

// Fire is orange where one spark lies and burns through yellow to white only where many pile
// up; plasma keeps a little red and blue, so a crowd of its sparks glows pale at the heart
// instead of filling one flat green.
constexpr std::array<SparkLook, spark_type_count> spark_looks = {{
    {0, true, 250, 140, 0},    // 0 impact
    {1, true, 255, 130, 40},   // 1 flash
    {1, true, 255, 95, 15},    // 2 fire ball
    {1, true, 20, 185, 50},    // 3 plasma ball
    {2, true, 0, 200, 0},      // 4 ion streak
    {2, true, 0, 0, 200},      // 5 ion glow
    {0, true, 0, 255, 0},      // 6 plasma, small
    {1, true, 50, 255, 110},   // 7 plasma, big
    {0, true, 0, 200, 0},      // 8 ion burn
}};

constexpr int ion_beam_weapon = 9;

Image spark_image(const World& world, int image)
{
    switch (image) {
    case 0: return world.assets.small_spark;
    case 1: return world.assets.big_spark;
    default: return world.assets.weapon_images[ion_beam_weapon];
    }
}

void move_spark(const World& world, Tspark& spark)
{
    spark.x += cos_deg(spark.angle) * paced(world, spark.speed);
    spark.y += sin_deg(spark.angle) * paced(world, spark.speed);
    if (spark.speed > 0) spark.speed -= paced(world, spark_slow_down);
    else spark.speed = 0;
    spark.scale = std::max(spark.scale - paced(world, spark_shrink), 0.0f);
    spark.fade -= paced(world, spark.fade_speed);
}

// The ion beam's charge sparks ride on the paddle: they are put back over its centre every frame.
void follow_paddle(const World& world, Tspark& spark)
{
    const float centre = world.paddle.x + static_cast<float>(half_paddle_width(world));
    if (spark.spark_type == spark_ion_streak) {
        spark.x = centre - 40 + rnd(-5, 5);
        set_scale(spark.scale, 2 * spark.scale);
    } else if (spark.spark_type == spark_ion_glow) {
        spark.x = centre - 20;
    }
}

void draw_spark(const World& world, Tspark& spark)
{
    set_alpha(spark.fade < 1 ? spark.fade : 1);
    set_rotation(spark.angle);
    set_blend(blend_light);
    set_scale(spark.scale, spark.scale);
    // A record filled in by hand with a type outside the table draws nothing but still ages.
    if (spark.spark_type >= 0 && spark.spark_type < spark_type_count) {
        const SparkLook& look = spark_looks[static_cast<std::size_t>(spark.spark_type)];
        if (look.tinted) set_color(look.r, look.g, look.b);
        follow_paddle(world, spark);
        draw_image_shaken(world, spark_image(world, look.image), spark.x, spark.y, 0, 1);
    }
    reset_draw_state();
}

}  // namespace

int spark_density_threshold(int gfx_level)
{
    return density_thresholds[static_cast<std::size_t>(detail_index(gfx_level))];
}

void spawn_spark(World& world, float x, float y, float min_angle, float max_angle, int spark_type)
{
    Tspark spark;
    spark.x = x;
    spark.y = y;
    spark.fade = rnd(3, 5);
    // Impact sparks drift slowly and linger; the others dart off and burn out sooner.
    if (spark_type == spark_impact) {
        spark.speed = rnd(0.8f, 2);
        spark.fade_speed = rnd(0.06f, 0.3f);
    } else {
        spark.speed = rnd(0.8f, 4);
        spark.fade_speed = rnd(0.1f, 0.5f);
    }
    spark.angle = rnd(min_angle, max_angle);
    spark.spark_type = spark_type;
    spark.scale = 1.0f;
    world.spark_list.push_back(spark);
}

void spark_burst(World& world, float x, float y, float min_angle, float max_angle, int spark_type,
                 int max_count, int min_count)
{
    const int crowd = count_sparks_in_rect(world, x - density_half_size, y - density_half_size,
                                           density_size, density_size);
    if (crowd >= spark_density_threshold(world.gfx_level)) max_count /= 4;
    // rand takes its bounds in either order, so a thinned maximum below the minimum still works.
    const int count = rand(min_count, max_count);
    for (int i = 0; i < count; ++i) spawn_spark(world, x, y, min_angle, max_angle, spark_type);
}

int count_sparks_in_rect(const World& world, float x, float y, float w, float h)
{
    int count = 0;
    for (const Tspark& spark : world.spark_list)
        if (rects_overlap(spark.x - 1, spark.y - 1, 2, 2, x, y, w, h)) ++count;
    return count;
}

void explosion_sparks(World& world, float x, float y, int spread)
{
    const CountRange range = explosion_spark_counts[static_cast<std::size_t>(detail_index(world.gfx_level))];
    const int count = rand(range.low, range.high);
    const int half_w = brick_width(world) / 2, half_h = brick_height(world) / 2;
    for (int i = 0; i < count; ++i) {
        float px = x, py = y;
        if (spread != 0) {
            px = x + static_cast<float>(half_w) + rnd(static_cast<float>(-half_w), static_cast<float>(half_w));
            py = y + static_cast<float>(half_h) + rnd(static_cast<float>(-half_h), static_cast<float>(half_h));
        }
        spawn_spark(world, px, py, 1, 360, spark_flash);
        spawn_spark(world, px, py, 1, 360, spark_impact);
    }
}

void plasma_sparks(World& world, float x, float y, int extra)
{
    const int d = extra != 0 ? 5 : 10;
    const CountRange range = plasma_spark_counts[static_cast<std::size_t>(detail_index(world.gfx_level))];
    int high = range.high - d;
    if (count_sparks_in_rect(world, x - density_half_size, 0, density_size, screen_height) >=
        spark_density_threshold(world.gfx_level))
        high /= 4;
    const int count = rand(range.low - d, high);
    const auto half_w = static_cast<float>(brick_width(world) / 2);
    const auto half_h = static_cast<float>(brick_height(world) / 2);
    for (int i = 0; i < count; ++i) {
        // (x + 20, y + 10) is the centre of a wide brick; a small brick's sparks sit to its right.
        const float px = x + 20 + rnd(-half_w, half_w);
        const float py = y + 10 + rnd(-half_h, half_h);
        spawn_spark(world, px, py, 1, 360, spark_plasma_small);
        spawn_spark(world, px, py, 1, 360, spark_plasma_big);
    }
}

int count_lingering_sparks(const World& world)
{
    // Flashes and ball sparks die within a few frames and are left out, so a ball still
    // trailing fire does not hold up the end of a level.
    return static_cast<int>(std::count_if(world.spark_list.begin(), world.spark_list.end(), [](const Tspark& spark) {
        return spark.spark_type != spark_flash && spark.spark_type != spark_ball &&
               spark.spark_type != spark_ball_green;
    }));
}

void update_sparks(World& world)
{
    for (auto it = world.spark_list.begin(); it != world.spark_list.end();) {
        world.current_spark = &*it;
        move_spark(world, *it);
        draw_spark(world, *it);
        if (it->fade <= 0) it = world.spark_list.erase(it);
        else ++it;
    }
    world.current_spark = nullptr;
}

void clear_sparks(World& world)
{
    world.spark_list.clear();
    world.current_spark = nullptr;
}
