// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/vsync_latch.h"

#include <algorithm>

namespace {

constexpr std::int64_t widen_us = 2000;
constexpr std::int64_t narrow_us = 500;
// Ten seconds of presents on time before the margin is trusted to shrink.
constexpr int made_before_narrowing = 600;

}   // namespace

std::int64_t vsync_latch_deadline(const VsyncLatch& latch, std::int64_t now_us)
{
    if (latch.last_present_us < 0) return -1;
    const std::int64_t deadline = latch.last_present_us + latch.period_us - latch.margin_us;
    return deadline > now_us ? deadline : -1;
}

void vsync_present_done(VsyncLatch& latch, std::int64_t now_us, bool waited)
{
    // Half a refresh late or more: the present waited for the blank after the one it was meant for.
    const bool missed = latch.last_present_us >= 0 && now_us - latch.last_present_us > latch.period_us * 3 / 2;
    latch.last_present_us = now_us;
    if (missed) {
        // Only a frame that waited was late for the wait's sake; one that did not took the time with
        // its logic or drawing. At a whole refresh no frame waits any more.
        if (waited) latch.margin_us = std::min(latch.margin_us + widen_us, latch.period_us);
        latch.made_in_a_row = 0;
        return;
    }
    if (++latch.made_in_a_row < made_before_narrowing) return;
    latch.made_in_a_row = 0;
    latch.margin_us = std::max(latch.margin_us - narrow_us, vsync_least_margin_us);
}
