// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace lookcheck {

Picture load_picture(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    Picture p;
    std::string error;
    if (bytes.empty() || !decode_picture(bytes, p, error)) {
        std::fprintf(stderr, "kalventor-lookcheck: cannot read %s %s\n", path.c_str(), error.c_str());
        std::exit(2);
    }
    return p;
}

void save_picture(const std::string& path, const Picture& picture)
{
    std::string why;
    if (!write_png(path, picture, &why))
        std::fprintf(stderr, "kalventor-lookcheck: %s: %s\n", path.c_str(), why.c_str());
}

Texel texel(const Picture& p, int x, int y)
{
    const std::uint8_t* q = &p.rgba[static_cast<std::size_t>((y * p.width + x) * 4)];
    return {q[0], q[1], q[2], q[3]};
}

void put_texel(Picture& p, int x, int y, Texel t)
{
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    std::uint8_t* q = &p.rgba[static_cast<std::size_t>((y * p.width + x) * 4)];
    q[0] = static_cast<std::uint8_t>(t.r);
    q[1] = static_cast<std::uint8_t>(t.g);
    q[2] = static_cast<std::uint8_t>(t.b);
    q[3] = static_cast<std::uint8_t>(t.a);
}

LbpHistogram lbp_histogram(const Picture& p)
{
    std::vector<int> grey(static_cast<std::size_t>(p.width * p.height));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Texel t = texel(p, x, y);
            grey[static_cast<std::size_t>(y * p.width + x)] = 299 * t.r + 587 * t.g + 114 * t.b;
        }
    static constexpr int dx[8] = {-1, 0, 1, 1, 1, 0, -1, -1}, dy[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
    LbpHistogram h{};
    double n = 0;
    for (int y = 1; y + 1 < p.height; ++y)
        for (int x = 1; x + 1 < p.width; ++x) {
            const int centre = grey[static_cast<std::size_t>(y * p.width + x)];
            int code = 0;
            for (int k = 0; k < 8; ++k)
                if (grey[static_cast<std::size_t>((y + dy[k]) * p.width + x + dx[k])] >= centre) code |= 1 << k;
            h[static_cast<std::size_t>(code)] += 1;
            n += 1;
        }
    for (double& v : h) v /= n;
    return h;
}

double hellinger(const LbpHistogram& a, const LbpHistogram& b)
{
    double bc = 0;
    for (std::size_t i = 0; i < a.size(); ++i) bc += std::sqrt(a[i] * b[i]);
    return std::sqrt(std::max(0.0, 1 - bc));
}

int largest_blob(const Picture& p, const std::function<bool(Texel)>& trait)
{
    const int w = p.width, h = p.height;
    std::vector<char> marked(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) marked[static_cast<std::size_t>(y * w + x)] = trait(texel(p, x, y)) ? 1 : 0;
    int best = 0;
    std::vector<int> stack;
    for (int start = 0; start < w * h; ++start) {
        if (marked[static_cast<std::size_t>(start)] != 1) continue;
        int size = 0;
        stack.push_back(start);
        marked[static_cast<std::size_t>(start)] = 2;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++size;
            const int x = i % w, y = i / w;
            for (int ny = std::max(0, y - 1); ny <= std::min(h - 1, y + 1); ++ny)
                for (int nx = std::max(0, x - 1); nx <= std::min(w - 1, x + 1); ++nx) {
                    char& m = marked[static_cast<std::size_t>(ny * w + nx)];
                    if (m == 1) m = 2, stack.push_back(ny * w + nx);
                }
        }
        best = std::max(best, size);
    }
    return best;
}

Linear mean_linear(const Picture& p, const Linear& under, int min_alpha, const std::function<bool(int, int)>& keep)
{
    Linear sum;
    double n = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Texel t = texel(p, x, y);
            if (t.a < min_alpha || (keep && !keep(x, y))) continue;
            const double a = t.a / 255.0;
            const Linear c = linear_of(t.r, t.g, t.b);
            sum.r += a * c.r + (1 - a) * under.r;
            sum.g += a * c.g + (1 - a) * under.g;
            sum.b += a * c.b + (1 - a) * under.b;
            n += 1;
        }
    if (n == 0) return under;
    return {sum.r / n, sum.g / n, sum.b / n};
}

namespace {

std::vector<double> lightness(const Picture& p)
{
    std::vector<double> l(static_cast<std::size_t>(p.width * p.height));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Texel t = texel(p, x, y);
            l[static_cast<std::size_t>(y * p.width + x)] = lab_of(linear_of(t.r, t.g, t.b)).l;
        }
    return l;
}

}   // namespace

Busyness busyness(const Picture& p, Area area, int block)
{
    const std::vector<double> l = lightness(p);
    auto at = [&](int x, int y) {
        x = std::clamp(x, 0, p.width - 1), y = std::clamp(y, 0, p.height - 1);
        return l[static_cast<std::size_t>(y * p.width + x)];
    };
    Busyness b;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            b.gradient += std::hypot(at(x + 1, y) - at(x, y), at(x, y + 1) - at(x, y));
    b.gradient /= double(area.w) * area.h;
    int blocks = 0;
    for (int by = area.y; by + block <= area.y + area.h; by += block)
        for (int bx = area.x; bx + block <= area.x + area.w; bx += block) {
            double sum = 0, squares = 0;
            for (int y = by; y < by + block; ++y)
                for (int x = bx; x < bx + block; ++x) sum += at(x, y), squares += at(x, y) * at(x, y);
            const double n = double(block) * block, mean = sum / n;
            b.block_spread += std::sqrt(std::max(0.0, squares / n - mean * mean));
            ++blocks;
        }
    b.block_spread /= blocks;
    return b;
}

std::vector<double> window_luminances(const Picture& p, Area area, int size, int step)
{
    std::vector<double> out;
    for (int wy = area.y; wy + size <= area.y + area.h; wy += step)
        for (int wx = area.x; wx + size <= area.x + area.w; wx += step)
            out.push_back(luminance(mean_linear(crop(p, wx, wy, size, size), {}, 0)));
    return out;
}

double percentile(std::vector<double> values, double share)
{
    const auto k = static_cast<std::size_t>(share * double(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

Picture blank(int w, int h, Texel fill)
{
    Picture p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w * h * 4))};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) put_texel(p, x, y, fill);
    return p;
}

void paste(Picture& dst, const Picture& src, int x0, int y0, int zoom)
{
    for (int y = 0; y < src.height * zoom; ++y)
        for (int x = 0; x < src.width * zoom; ++x) {
            const int dx = x0 + x, dy = y0 + y;
            if (dx < 0 || dy < 0 || dx >= dst.width || dy >= dst.height) continue;
            const Texel s = texel(src, x / zoom, y / zoom), d = texel(dst, dx, dy);
            auto over = [&](int a, int b) { return (a * s.a + b * (255 - s.a) + 127) / 255; };
            put_texel(dst, dx, dy, {over(s.r, d.r), over(s.g, d.g), over(s.b, d.b), 255});
        }
}

Picture crop(const Picture& p, int x0, int y0, int w, int h)
{
    Picture out = blank(w, h, {0, 0, 0, 255});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x0 + x >= 0 && y0 + y >= 0 && x0 + x < p.width && y0 + y < p.height)
                put_texel(out, x, y, texel(p, x0 + x, y0 + y));
    return out;
}

Picture simulated(const Picture& p, Vision v)
{
    Picture out = p;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const Texel t = texel(p, x, y);
            const Linear s = simulate(v, linear_of(t.r, t.g, t.b));
            auto byte = [](double c) { return static_cast<int>(std::lround(to_srgb(c) * 255)); };
            put_texel(out, x, y, {byte(s.r), byte(s.g), byte(s.b), t.a});
        }
    return out;
}

}   // namespace lookcheck
