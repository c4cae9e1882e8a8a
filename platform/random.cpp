// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include <cmath>

namespace {
// The generator's state is the one piece of randomness in a run; it belongs to the platform.
std::int32_t state = replacement_seed;

// One draw as a fraction in [0, 1): the state runs over 1 .. 2^31 - 2.
double next_fraction()
{
    return static_cast<double>(next_random_state() - 1) / static_cast<double>(lehmer_modulus - 1);
}
}  // namespace

void seed_rnd(std::int64_t seed)
{
    const auto low31 = static_cast<std::int32_t>(static_cast<std::uint64_t>(seed) & 0x7fffffffu);
    state = (low31 == 0 || low31 == lehmer_modulus) ? replacement_seed : low31;
}

std::int32_t random_state() { return state; }

std::int32_t next_random_state()
{
    // Schrage's decomposition keeps 48271 * state inside 32 bits.
    constexpr std::int32_t quotient = 44488;   // modulus / multiplier
    constexpr std::int32_t remainder = 3399;   // modulus % multiplier
    const std::int32_t hi = state / quotient;
    const std::int32_t lo = state % quotient;
    std::int32_t next = lehmer_multiplier * lo - remainder * hi;
    if (next < 0) next += lehmer_modulus;
    state = next;
    return state;
}

float rnd(float a, float b)
{
    const float lower = std::fmin(a, b);
    const float upper = std::fmax(a, b);
    const double u = next_fraction();
    auto value = static_cast<float>(lower + u * (static_cast<double>(upper) - lower));
    // Rounding to float may land on the excluded upper bound; step back below it.
    if (value >= upper && upper > lower) value = std::nextafter(upper, lower);
    return value;
}

int rand(int a, int b)
{
    const int lower = a < b ? a : b;
    const int upper = a < b ? b : a;
    const double span = static_cast<double>(upper) - lower + 1.0;
    return static_cast<int>(lower + static_cast<std::int64_t>(next_fraction() * span));
}
