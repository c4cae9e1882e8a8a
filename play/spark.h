// SPDX-License-Identifier: GPL-3.0-or-later
// Sparks: the glowing dots and streaks thrown by hits, walls, blasts, plasma and the ion beam.
// They fly out, slow down, shrink and fade; the graphics detail level sets how many a blast
// makes and how crowded a region may get before new bursts are thinned.
#pragma once

#include <list>

struct World;

struct Tspark {
    float x = 0, y = 0;
    float angle = 0;        // direction of travel and drawing rotation, degrees (0 right, 90 down)
    float speed = 0;        // pixels per frame
    float fade = 0;         // life: opaque while 1 or more, alpha `fade` below 1, gone at 0 or less
    float fade_speed = 0;   // taken off `fade` every frame
    int spark_type = 0;     // look and behaviour, 0..8
    float scale = 0;        // drawing scale
};

// What each spark_type is for; the looks are in play/spark.cpp.
inline constexpr int spark_impact = 0;          // impact and explosion sparks
inline constexpr int spark_flash = 1;           // explosion flashes
inline constexpr int spark_ball = 2;            // given off by fire balls
inline constexpr int spark_ball_green = 3;      // given off by plasma balls
inline constexpr int spark_ion_streak = 4;      // ion beam charge streak, follows the paddle
inline constexpr int spark_ion_glow = 5;        // ion beam charge glow, follows the paddle
inline constexpr int spark_plasma_small = 6;    // plasma impact
inline constexpr int spark_plasma_big = 7;      // plasma impact
inline constexpr int spark_ion_burn = 8;        // bricks burning under the ion beam
inline constexpr int spark_type_count = 9;

struct SparkState {
    std::list<Tspark> spark_list;
    Tspark* current_spark = nullptr;   // the spark being updated; null outside update_sparks
};

// How many sparks a 250-pixel region may hold before spark_burst and plasma_sparks cut their
// upper count to a quarter: 50 at LOW, 100 at MED, 200 at HIGH.
int spark_density_threshold(int gfx_level);

// One spark at (x, y) heading somewhere in [min_angle, max_angle), with its type's speed and life.
void spawn_spark(World& world, float x, float y, float min_angle, float max_angle, int spark_type);
// A fan of min_count..max_count sparks (either order), thinned where sparks are already dense.
void spark_burst(World& world, float x, float y, float min_angle, float max_angle, int spark_type,
                 int max_count, int min_count);
// Sparks whose 2 x 2 box around their position overlaps the rectangle.
int count_sparks_in_rect(const World& world, float x, float y, float w, float h);
// A brick explosion's flash and sparks; spread != 0 scatters them over current_brick.
void explosion_sparks(World& world, float x, float y, int spread);
// Green sparks over the brick whose top-left corner is (x, y); extra != 0 makes a few more.
void plasma_sparks(World& world, float x, float y, int extra);
// Sparks other than types 1, 2 and 3: the level end waits for them to die out.
int count_lingering_sparks(const World& world);
// Once per frame: moves, ages and draws every spark, and drops the spent ones.
void update_sparks(World& world);
void clear_sparks(World& world);
