// SPDX-License-Identifier: GPL-3.0-or-later
// Points: awarded through add_score and counted into the shown score a few at a time.
#pragma once

struct World;

void add_score(World& world, int points);
// Moves 1, 5 or 10 points a frame from score_to_add into score, by how many are waiting.
void count_score(World& world);
