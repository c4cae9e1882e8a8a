// SPDX-License-Identifier: GPL-3.0-or-later
#include "flash_count.h"

#include <array>
#include <cmath>

namespace flashcheck {

namespace {

double to_linear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

const std::array<float, 256>& linear_table()
{
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<float>(to_linear(i / 255.0));
        return t;
    }();
    return table;
}

}   // namespace

double relative_luminance(int r, int g, int b)
{
    const auto& lin = linear_table();
    return 0.2126 * lin[static_cast<std::size_t>(r)] + 0.7152 * lin[static_cast<std::size_t>(g)] +
           0.0722 * lin[static_cast<std::size_t>(b)];
}

FlashCounter::FlashCounter(int width, int height)
    : pixels_(width * height), swings_(static_cast<std::size_t>(pixels_)), changes_(static_cast<std::size_t>(pixels_))
{}

// A swing turns only when the pixel comes back a whole step from its extreme, so flicker under
// the step never counts; a change is counted once per swing, when it reaches the step.
bool FlashCounter::swing(Swing& s, float l)
{
    if (!s.seen) {
        s.seen = true, s.extreme = s.anchor = l;
        return false;
    }
    const float step = static_cast<float>(luminance_step);
    if (s.direction == 0) {
        if (std::fabs(l - s.extreme) >= step) s.direction = l > s.extreme ? 1 : -1, s.anchor = s.extreme, s.extreme = l;
    } else if (s.direction > 0) {
        if (l > s.extreme) s.extreme = l;
        else if (s.extreme - l >= step) s.direction = -1, s.anchor = s.extreme, s.extreme = l, s.counted = false;
    } else {
        if (l < s.extreme) s.extreme = l;
        else if (l - s.extreme >= step) s.direction = 1, s.anchor = s.extreme, s.extreme = l, s.counted = false;
    }
    if (s.direction == 0 || s.counted) return false;
    if (std::fabs(s.extreme - s.anchor) < step || std::fmin(s.extreme, s.anchor) >= darker_below) return false;
    s.counted = true;
    return true;
}

void FlashCounter::add_frame(const Pixels& frame)
{
    std::vector<std::uint32_t> changed;
    for (int p = 0; p < pixels_; ++p) {
        const std::uint8_t* px = &frame.rgba[static_cast<std::size_t>(p) * 4];
        const auto l = static_cast<float>(relative_luminance(px[0], px[1], px[2]));
        if (swing(swings_[static_cast<std::size_t>(p)], l)) {
            changed.push_back(static_cast<std::uint32_t>(p));
            changes_[static_cast<std::size_t>(p)] += 1;
        }
    }
    recent_.push_back(std::move(changed));
    if (static_cast<int>(recent_.size()) > frames_per_second) {
        for (std::uint32_t p : recent_.front()) changes_[p] -= 1;
        recent_.pop_front();
    }
    if (const int flashes = flashes_over_quarter(); flashes > worst_) worst_ = flashes, worst_frame_ = frame_;
    frame_ += 1;
}

int FlashCounter::flashes_over_quarter() const
{
    std::array<int, frames_per_second + 1> pixels_with{};   // by the changes each made
    for (std::uint8_t c : changes_) pixels_with[c] += 1;
    int at_least = 0;
    for (int changes = frames_per_second; changes >= 2; --changes) {
        at_least += pixels_with[static_cast<std::size_t>(changes)];
        if (4 * at_least >= pixels_) return changes / 2;
    }
    return 0;
}

}   // namespace flashcheck
