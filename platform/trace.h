// SPDX-License-Identifier: GPL-3.0-or-later
// A running account of what the game did, one line a happening ("FRAME WHAT"): screens shown,
// prompts opened and closed, games started and ended, balls launched. Written only when asked
// for (--trace FILE); the desktop tests read it to know what a real window is showing.
#pragma once

#include <string>
#include <string_view>

bool open_trace(const std::string& path);
void trace(std::string_view what);
// Whether a trace is being written: a caller may skip working out lines nobody reads.
bool trace_enabled();
// Called once a frame: a "tick" line every tenth frame, so a reader sees the frames go by.
void trace_frame(long long frame);
