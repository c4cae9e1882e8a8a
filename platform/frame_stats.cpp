// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/frame_stats.h"

#include "platform/time_spread.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>
#include <vector>

namespace {

struct FrameStats {
    bool enabled = false;
    double frame_start = -1;     // thread CPU seconds when the frame's work began
    double draw_start = 0;
    double draw_in_frame = 0;
    double last_present = -1;    // wall seconds
    double input_read = -1;      // wall seconds: when the frame's input was read
    TimeSpread update_ms, draw_ms, present_ms, input_to_present_ms;
    std::uint64_t late_presents = 0;   // more than 20 ms after the one before
    double enabled_at = 0;       // wall seconds
    std::vector<std::pair<const char*, double>> marks;   // step, wall ms after enabled_at
};

FrameStats stats;

double seconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

double thread_cpu() { return seconds(CLOCK_THREAD_CPUTIME_ID); }
// The drawing operations are timed by the monotonic clock, which is read without entering the
// kernel: a frame makes a few thousand of them, and the thread's CPU clock, a system call each
// time, cost more than the drawing it measured. Inside one short operation the two agree
// unless the thread is preempted.
double draw_clock() { return seconds(CLOCK_MONOTONIC); }

// Median, 99th percentile and maximum.
std::string spread(const TimeSpread& values)
{
    if (values.empty()) return "no frames";
    char text[96];
    std::snprintf(text, sizeof text, "median %.3f ms, 99th percentile %.3f ms, max %.3f ms", values.at(0.5),
                  values.at(0.99), values.max());
    return text;
}

}  // namespace

void enable_frame_stats()
{
    stats.enabled = true;
    stats.enabled_at = seconds(CLOCK_MONOTONIC);
}

void frame_stats_mark(const char* step)
{
    if (stats.enabled) stats.marks.emplace_back(step, (seconds(CLOCK_MONOTONIC) - stats.enabled_at) * 1000);
}
bool frame_stats_enabled() { return stats.enabled; }

void frame_stats_begin_draw()
{
    if (stats.enabled) stats.draw_start = draw_clock();
}

void frame_stats_end_draw()
{
    if (stats.enabled) stats.draw_in_frame += draw_clock() - stats.draw_start;
}

void frame_stats_frame_done()
{
    if (!stats.enabled) return;
    const double now = thread_cpu();
    if (stats.frame_start >= 0) {
        const double total = now - stats.frame_start;
        stats.draw_ms.add(static_cast<float>(stats.draw_in_frame * 1000));
        stats.update_ms.add(static_cast<float>(std::max(0.0, total - stats.draw_in_frame) * 1000));
    }
    stats.draw_in_frame = 0;
}

void frame_stats_input_read()
{
    if (stats.enabled) stats.input_read = seconds(CLOCK_MONOTONIC);
}

void frame_stats_presented(bool real_window)
{
    if (!stats.enabled) return;
    if (real_window) {
        const double now = seconds(CLOCK_MONOTONIC);
        if (stats.input_read >= 0) stats.input_to_present_ms.add(static_cast<float>((now - stats.input_read) * 1000));
        if (stats.last_present >= 0) {
            const auto interval = static_cast<float>((now - stats.last_present) * 1000);
            stats.present_ms.add(interval);
            if (interval > 20) stats.late_presents += 1;
        }
        stats.last_present = now;
    }
    // The next frame's work starts now: pacing and presenting are not part of it.
    stats.frame_start = thread_cpu();
}

std::string frame_stats_report()
{
    std::string report;
    if (!stats.marks.empty()) {
        report += "start-up:";
        for (std::size_t i = 0; i < stats.marks.size(); ++i) {
            char text[80];
            std::snprintf(text, sizeof text, "%s %s at %.1f ms", i == 0 ? "" : ",", stats.marks[i].first,
                          stats.marks[i].second);
            report += text;
        }
        report += "\n";
    }
    report += "frames: " + std::to_string(stats.update_ms.size()) + "\n";
    report += "update CPU per frame: " + spread(stats.update_ms) + "\n";
    report += "draw CPU per frame: " + spread(stats.draw_ms) + "\n";
    if (!stats.present_ms.empty()) {
        report += "presented-frame interval: " + spread(stats.present_ms) + ", " + std::to_string(stats.late_presents) +
                  " frames later than 20 ms\n";
        report += "input read to frame presented: " + spread(stats.input_to_present_ms) + "\n";
    }
    return report;
}
