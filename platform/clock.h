// SPDX-License-Identifier: GPL-3.0-or-later
// Time: a millisecond clock and a sleep. Headless runs use a virtual clock that advances by
// 1000/60 ms per flip and never sleeps, so they run as fast as the machine allows.
#pragma once

#include <cstdint>

void use_virtual_clock(bool virtual_clock);
bool virtual_clock_in_use();
int millisecs();
void delay(int milliseconds);
void advance_virtual_clock(int milliseconds);
// A seed for runs without --seed: the wall clock, so real games differ from run to run.
std::int64_t clock_seed();
