// SPDX-License-Identifier: GPL-3.0-or-later
// The arithmetic every rule of the game is written in: truncation toward zero and degrees.
#pragma once

#include <cmath>
#include <numbers>

// Converting a float to an integer truncates toward zero: 7.9 -> 7, -7.9 -> -7.
constexpr int trunc_int(double value) { return static_cast<int>(value); }

inline double radians(double degrees) { return degrees * std::numbers::pi / 180.0; }
inline float sin_deg(double degrees) { return static_cast<float>(std::sin(radians(degrees))); }
inline float cos_deg(double degrees) { return static_cast<float>(std::cos(radians(degrees))); }
// atan2(y, x) in degrees, in (-180, 180].
inline float atan2_deg(double y, double x) { return static_cast<float>(std::atan2(y, x) * 180.0 / std::numbers::pi); }

// Which way a value swinging between two bounds is heading: glows, pulses, the SPREAD BLASTER's
// sweep. It turns at each bound.
enum class PulseDirection { rising = 0, falling = 1 };
