// SPDX-License-Identifier: GPL-3.0-or-later
// The game's own random numbers: a Lehmer generator (multiplier 48271, modulus 2^31 - 1), so a
// run is a pure function of its seed and its input.
#pragma once

#include <cstdint>

constexpr std::int32_t lehmer_modulus = 2147483647;  // 2^31 - 1
constexpr std::int32_t lehmer_multiplier = 48271;
constexpr std::int32_t replacement_seed = 4660;      // 0x1234, for seeds the generator cannot use

void seed_rnd(std::int64_t seed);
// The generator's state, 1 .. 2^31 - 2; seed_rnd with it puts the generator back there.
std::int32_t random_state();
// The next raw state of the generator, 1 .. 2^31 - 2.
std::int32_t next_random_state();
// Uniform float in [min(a, b), max(a, b)): the bounds may come in either order.
float rnd(float a, float b);
// Uniform integer over the inclusive range between a and b, in either order.
int rand(int a, int b);
