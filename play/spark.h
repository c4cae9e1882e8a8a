// Sparks from hits, walls and blasts.
#pragma once

#include <list>

struct World;

struct Tspark {
    float x = 0, y = 0;
    float angle = 0;
    float speed = 0;
    float fade = 0;
    float fade_speed = 0;
    float scale = 0;
    int spark_type = 0;
};

struct SparkState {
    std::list<Tspark> spark_list;
};

void spawn_spark(World& world, float x, float y, float min_angle, float max_angle, int spark_type);
// A fan of sparks, thinned where sparks are already dense.
void spark_burst(World& world, float x, float y, float min_angle, float max_angle, int spark_type,
                 int max_count, int min_count);
int count_sparks_in_rect(const World& world, float x, float y, float w, float h);
void explosion_sparks(World& world, float x, float y, int spread);
void plasma_sparks(World& world, float x, float y, int extra);
// Sparks other than types 1, 2 and 3: the level end waits for them to die out.
int count_lingering_sparks(const World& world);
void update_sparks(World& world);
void clear_sparks(World& world);
