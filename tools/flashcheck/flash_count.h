// SPDX-License-Identifier: GPL-3.0-or-later
// Counts flashes the way the photosensitivity guidance does: a flash is a pair of opposing
// changes in relative luminance of 0.1 or more where the darker state is below 0.8, and a
// frame sequence is judged by the most flashes any one second of it makes over at least a
// quarter of the picture. Each pixel keeps its own swings, so a flash is counted wherever it
// falls, fast or slow, in one frame or over many.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "platform/image.h"

namespace flashcheck {

inline constexpr double luminance_step = 0.1;
inline constexpr double darker_below = 0.8;
inline constexpr int frames_per_second = 60;

class FlashCounter {
public:
    FlashCounter(int width, int height);
    // The next frame, RGBA, of the counter's size.
    void add_frame(const Pixels& frame);
    // The most flashes in any one-second window over at least a quarter of the picture, so far.
    int worst() const { return worst_; }
    // The frame that window ended on (-1 before any flash).
    int worst_frame() const { return worst_frame_; }

private:
    struct Swing {
        float extreme = 0;   // the furthest the pixel went in the present direction
        float anchor = 0;    // where the present swing began
        std::int8_t direction = 0;
        bool counted = false;
        bool seen = false;
    };
    bool swing(Swing& s, float luminance);
    int flashes_over_quarter() const;

    int pixels_;
    std::vector<Swing> swings_;
    std::vector<std::uint8_t> changes_;               // opposing changes per pixel within the last second
    std::deque<std::vector<std::uint32_t>> recent_;   // which pixels changed, frame by frame
    int frame_ = 0;
    int worst_ = 0;
    int worst_frame_ = -1;
};

// Relative luminance of an sRGB colour, 0..1.
double relative_luminance(int r, int g, int b);

}   // namespace flashcheck
