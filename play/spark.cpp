#include "play/spark.h"

#include "core/world.h"

// Sparks are not made yet: every spawner does nothing and the list stays empty.
void spawn_spark(World&, float, float, float, float, int) {}
void spark_burst(World&, float, float, float, float, int, int, int) {}
int count_sparks_in_rect(const World& world, float, float, float, float) { return static_cast<int>(world.spark_list.size()); }
void explosion_sparks(World&, float, float, int) {}
void plasma_sparks(World&, float, float, int) {}
int count_lingering_sparks(const World& world) { return static_cast<int>(world.spark_list.size()); }
void update_sparks(World&) {}
void clear_sparks(World& world) { world.spark_list.clear(); }
