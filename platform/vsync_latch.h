// SPDX-License-Identifier: GPL-3.0-or-later
// With vertical sync a present waits for the vertical blank, so a picture presented between two
// frames would hold the next frame back by a whole refresh. Instead a frame, once drawn, waits
// for the pointer's moves until shortly before the blank it is meant for, then shows the
// pointer's things where the pointer is now and presents. How shortly is learnt as the game
// runs: a present that misses its blank widens the margin, a long run that makes theirs
// narrows it again.
#pragma once

#include <cstdint>

struct VsyncLatch {
    std::int64_t period_us = 16667;      // one refresh
    std::int64_t margin_us = 4000;       // stop waiting this long before the blank
    std::int64_t last_present_us = -1;   // when the last present returned: at a blank
    int made_in_a_row = 0;               // presents after a wait that met their blank
};

// Drawing the pointer and presenting takes well under a millisecond on a GPU; below this the
// scheduler's wake-up alone could miss the blank.
constexpr std::int64_t vsync_least_margin_us = 2000;

// Until when a frame drawn by `now_us` may wait for the pointer; -1: present at once.
std::int64_t vsync_latch_deadline(const VsyncLatch& latch, std::int64_t now_us);
// A present returned at `now_us`; `waited` when its frame had waited for the pointer.
void vsync_present_done(VsyncLatch& latch, std::int64_t now_us, bool waited);
