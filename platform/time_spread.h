// SPDX-License-Identifier: GPL-3.0-or-later
// A spread of times (milliseconds) kept as counts, for --stats: the median, a percentile and
// the maximum of as many frames as a run has, in a few kilobytes.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

// Milliseconds kept as counts in buckets half a percent wide, from a microsecond to minutes:
// a run of any length keeps the same few kilobytes (a list of every frame grew by 8 bytes a
// frame, which a soak run then reported as the game's memory growing).
class TimeSpread {
public:
    void add(float ms)
    {
        const double buckets = std::log(std::max(double(ms), smallest_ms) / smallest_ms) / std::log(step);
        counts_[std::min(counts_.size() - 1, static_cast<std::size_t>(buckets))] += 1;
        total_ += 1;
        max_ms_ = std::max(max_ms_, ms);
    }
    std::uint64_t size() const { return total_; }
    bool empty() const { return total_ == 0; }
    float max() const { return max_ms_; }
    // The value at a quantile (0..1), to half a percent: the middle of its bucket.
    double at(double q) const
    {
        const auto k = static_cast<std::uint64_t>(q * static_cast<double>(total_ - 1));
        std::uint64_t seen = 0;
        std::size_t i = 0;
        for (; i < counts_.size() && seen + counts_[i] <= k; ++i) seen += counts_[i];
        return std::min(double(max_ms_), smallest_ms * std::pow(step, double(i) + 0.5));
    }
private:
    static constexpr double smallest_ms = 0.001, step = 1.005;
    std::array<std::uint32_t, 4000> counts_{};   // up to about 8 minutes
    std::uint64_t total_ = 0;
    float max_ms_ = 0;
};
