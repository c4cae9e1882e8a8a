// SPDX-License-Identifier: GPL-3.0-or-later
#include "colour.h"

#include <algorithm>
#include <cmath>

namespace lookcheck {

namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

// Machado 2009, Table 1 at severity 1.0.
constexpr Matrix protanopia = {
    {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}};
constexpr Matrix deuteranopia = {
    {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}};
constexpr Matrix tritanopia = {
    {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};

Linear apply(const Matrix& m, const Linear& c)
{
    auto row = [&](int i) {
        const auto& k = m[static_cast<std::size_t>(i)];
        return std::clamp(k[0] * c.r + k[1] * c.g + k[2] * c.b, 0.0, 1.0);
    };
    return {row(0), row(1), row(2)};
}

double lab_f(double t)
{
    constexpr double e = 216.0 / 24389.0, k = 24389.0 / 27.0;
    return t > e ? std::cbrt(t) : (k * t + 16) / 116;
}

}   // namespace

double to_linear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

double to_srgb(double v)
{
    v = std::clamp(v, 0.0, 1.0);
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

Linear linear_of(int r, int g, int b) { return {to_linear(r / 255.0), to_linear(g / 255.0), to_linear(b / 255.0)}; }

double luminance(const Linear& c) { return 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b; }

Lab lab_of(const Linear& c)
{
    // sRGB to XYZ, relative to the D65 white
    const double x = (0.4124564 * c.r + 0.3575761 * c.g + 0.1804375 * c.b) / 0.95047;
    const double y = 0.2126729 * c.r + 0.7151522 * c.g + 0.0721750 * c.b;
    const double z = (0.0193339 * c.r + 0.1191920 * c.g + 0.9503041 * c.b) / 1.08883;
    const double fx = lab_f(x), fy = lab_f(y), fz = lab_f(z);
    return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

double delta_e76(const Lab& p, const Lab& q)
{
    return std::sqrt((p.l - q.l) * (p.l - q.l) + (p.a - q.a) * (p.a - q.a) + (p.b - q.b) * (p.b - q.b));
}

double contrast_ratio(double la, double lb)
{
    const double hi = std::max(la, lb), lo = std::min(la, lb);
    return (hi + 0.05) / (lo + 0.05);
}

const char* vision_name(Vision v)
{
    switch (v) {
    case Vision::deuteranopia: return "deuteranopia";
    case Vision::protanopia: return "protanopia";
    case Vision::tritanopia: return "tritanopia";
    default: return "normal";
    }
}

Linear simulate(Vision v, const Linear& c)
{
    switch (v) {
    case Vision::deuteranopia: return apply(deuteranopia, c);
    case Vision::protanopia: return apply(protanopia, c);
    case Vision::tritanopia: return apply(tritanopia, c);
    default: return c;
    }
}

Hsv hsv_of(int r, int g, int b)
{
    const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
    Hsv out{0, hi == 0 ? 0.0 : (hi - lo) / double(hi), hi / 255.0};
    if (hi == lo) return out;
    const double d = hi - lo;
    double h = hi == r ? (g - b) / d : hi == g ? 2 + (b - r) / d : 4 + (r - g) / d;
    out.h = std::fmod(h * 60 + 360, 360);
    return out;
}

}   // namespace lookcheck
