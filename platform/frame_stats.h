// SPDX-License-Identifier: GPL-3.0-or-later
// --stats: how long frames take. Per frame the thread's CPU time from one flip to the next is
// split into drawing (the time spent inside the drawing operations, by the monotonic clock) and
// the rest (update); in a window the wall time between presented frames is kept too. Printed
// when the program ends.
#pragma once

#include <string>

void enable_frame_stats();
bool frame_stats_enabled();
// Called by the drawing operations around their work, only while stats are on.
void frame_stats_begin_draw();
void frame_stats_end_draw();
// Called by flip: before pacing (the frame's work is done) and after presenting.
void frame_stats_frame_done();
void frame_stats_presented(bool real_window);
// Called by flip once the next frame's input is read: in a window the report gives the wall time
// from there to that frame presented, the game's own share of input-to-screen latency.
void frame_stats_input_read();
// Start-up steps, timed from enable_frame_stats (the command line was just read): the report
// lists each with its time, e.g. "display open" and "media decoded".
void frame_stats_mark(const char* step);
// The summary: frames, update and draw CPU per frame (median, 99th percentile, maximum), and in a
// window the presented-frame interval (median, 99th percentile, frames later than 20 ms) and the
// time from input read to frame presented.
std::string frame_stats_report();
