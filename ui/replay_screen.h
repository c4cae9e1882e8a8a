// SPDX-License-Identifier: GPL-3.0-or-later
// Watching replays: the bar over a replay as it plays (where it is in the game, pause, speeds,
// the next level, leave), and on HIGH SCORES the marks of the entries that have a replay, which a
// click plays.
#pragma once

struct World;
struct ReplayPlayer;
struct GameReplay;

// The HIGH SCORES rows: the top of an entry's row, and whether a replay of it can be watched.
float table_row_y(int entry);
bool table_entry_has_replay(const World& world, int entry);
// Once per shown frame of a replay: draws the bar and the pointer, reads the watcher's keys
// (Space or P pause, 1 2 3 4 the speeds 1x 2x 4x 8x, Left and Right a speed slower or faster, N the
// next level, Escape leave) and clicks, a tap between two frames too.
void watch_replay_controls(World& game, ReplayPlayer& player, const GameReplay& replay);
// On HIGH SCORES while no name is typed: marks the rows with a replay, says so on the hint line
// and plays the one clicked, then comes back to the screen as it was.
void update_table_replays(World& world);
