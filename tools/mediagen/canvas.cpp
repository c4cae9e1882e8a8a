// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas.h"

#include <algorithm>

namespace mediagen {

namespace {
constexpr float pi = 3.14159265358979f;

Color premultiply(Color c) { return {c.r * c.a, c.g * c.a, c.b * c.a, c.a}; }
Color composite(Color top_pm, Color bottom_pm) {
    float k = 1 - top_pm.a;
    return {top_pm.r + bottom_pm.r * k, top_pm.g + bottom_pm.g * k, top_pm.b + bottom_pm.b * k,
            top_pm.a + bottom_pm.a * k};
}
std::uint8_t to8(float v) { return std::uint8_t(std::lround(clamp01(v) * 255.0f)); }
}  // namespace

Vec2 rotate(Vec2 p, float degrees) {
    float a = degrees * pi / 180.0f, c = std::cos(a), s = std::sin(a);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

float clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float smoothstep(float e0, float e1, float x) {
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
Color rgb(int r, int g, int b, float a) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }
Color mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
Color scaled(Color c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
Color with_alpha(Color c, float a) { return {c.r, c.g, c.b, a}; }
Color over(Color top, Color bottom) {
    Color pm = composite(premultiply(top), premultiply(bottom));
    if (pm.a <= 1e-6f) return {};
    return {pm.r / pm.a, pm.g / pm.a, pm.b / pm.a, pm.a};
}

Canvas::Canvas(int width, int height, Color fill) : w_(width), h_(height), px_(std::size_t(width) * height, premultiply(fill)) {}

Color Canvas::get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return {};
    Color c = px_[std::size_t(y) * w_ + x];
    if (c.a <= 1e-6f) return {};
    return {c.r / c.a, c.g / c.a, c.b / c.a, c.a};
}

void Canvas::set(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_[std::size_t(y) * w_ + x] = premultiply(c);
}

void Canvas::paint(const Shader& shader, int ss) { paint(shader, ss, 0, 0, w_, h_); }

void Canvas::paint(const Shader& shader, int ss, int x0, int y0, int x1, int y1) {
    x0 = std::max(0, x0), y0 = std::max(0, y0), x1 = std::min(w_, x1), y1 = std::min(h_, y1);
    float inv = 1.0f / float(ss * ss);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            Color sum{};
            for (int j = 0; j < ss; ++j)
                for (int i = 0; i < ss; ++i) {
                    Color c = premultiply(shader(x + (i + 0.5f) / ss, y + (j + 0.5f) / ss));
                    sum.r += c.r, sum.g += c.g, sum.b += c.b, sum.a += c.a;
                }
            sum = {sum.r * inv, sum.g * inv, sum.b * inv, sum.a * inv};
            auto& d = px_[std::size_t(y) * w_ + x];
            d = composite(sum, d);
        }
}

void Canvas::draw(const Canvas& src, int dx, int dy, float alpha) {
    for (int y = 0; y < src.h_; ++y)
        for (int x = 0; x < src.w_; ++x) {
            int tx = x + dx, ty = y + dy;
            if (tx < 0 || ty < 0 || tx >= w_ || ty >= h_) continue;
            Color s = src.px_[std::size_t(y) * src.w_ + x];
            s = {s.r * alpha, s.g * alpha, s.b * alpha, s.a * alpha};
            auto& d = px_[std::size_t(ty) * w_ + tx];
            d = composite(s, d);
        }
}

void Canvas::draw_scaled(const Canvas& src, float x, float y, float w, float h, float alpha) {
    const int ss = 3;
    paint(
        [&](float px, float py) {
            float u = (px - x) / w * src.w_, v = (py - y) / h * src.h_;
            if (u < 0 || v < 0 || u >= src.w_ || v >= src.h_) return Color{};
            Color c = src.get(int(u), int(v));
            c.a *= alpha;
            return c;
        },
        ss, int(std::floor(x)), int(std::floor(y)), int(std::ceil(x + w)), int(std::ceil(y + h)));
}

void Canvas::add_light(const Canvas& src, float cx, float cy, Color tint, float alpha, float degrees, float scale) {
    float r = 0.5f * scale * std::sqrt(float(src.w_ * src.w_ + src.h_ * src.h_)) + 1;
    for (int y = std::max(0, int(cy - r)); y < std::min(h_, int(cy + r) + 1); ++y)
        for (int x = std::max(0, int(cx - r)); x < std::min(w_, int(cx + r) + 1); ++x) {
            Vec2 q = rotate({x + 0.5f - cx, y + 0.5f - cy}, -degrees) * (1 / scale);
            int u = int(std::floor(q.x + src.w_ * 0.5f)), v = int(std::floor(q.y + src.h_ * 0.5f));
            if (u < 0 || v < 0 || u >= src.w_ || v >= src.h_) continue;
            Color s = src.px_[std::size_t(v) * src.w_ + u];  // premultiplied: colour times alpha
            auto& d = px_[std::size_t(y) * w_ + x];
            d.r = std::min(d.a, d.r + s.r * tint.r * alpha);
            d.g = std::min(d.a, d.g + s.g * tint.g * alpha);
            d.b = std::min(d.a, d.b + s.b * tint.b * alpha);
        }
}

std::vector<std::uint8_t> Canvas::rgba8() const {
    std::vector<std::uint8_t> out(px_.size() * 4, 0);
    for (std::size_t i = 0; i < px_.size(); ++i) {
        const Color& pm = px_[i];
        std::uint8_t a = to8(pm.a);
        if (a == 0) continue;
        std::uint8_t* d = &out[i * 4];
        d[0] = to8(pm.r / pm.a), d[1] = to8(pm.g / pm.a), d[2] = to8(pm.b / pm.a), d[3] = a;
    }
    // Invisible pixels next to visible ones take their neighbours' colour (two rings deep),
    // so a filtered, rotated or scaled sprite does not pick up a dark fringe at its edge.
    std::vector<bool> has_colour(px_.size());
    for (std::size_t i = 0; i < px_.size(); ++i) has_colour[i] = out[i * 4 + 3] > 0;
    for (int ring = 0; ring < 2; ++ring) {
        std::vector<bool> next = has_colour;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                std::size_t i = std::size_t(y) * w_ + x;
                if (has_colour[i]) continue;
                int sum[3] = {0, 0, 0}, n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w_ || ny >= h_) continue;
                        std::size_t j = std::size_t(ny) * w_ + nx;
                        if (!has_colour[j]) continue;
                        for (int c = 0; c < 3; ++c) sum[c] += out[j * 4 + std::size_t(c)];
                        ++n;
                    }
                if (n == 0) continue;
                for (int c = 0; c < 3; ++c) out[i * 4 + std::size_t(c)] = std::uint8_t(sum[c] / n);
                next[i] = true;
            }
        has_colour = next;
    }
    for (std::size_t i = 0; i < out.size(); i += 4)
        if (out[i] == 255 && out[i + 1] == 0 && out[i + 2] == 255) out[i + 1] = 1;  // pure magenta is the game's "transparent"
    return out;
}

std::vector<std::uint8_t> Canvas::rgb8(Color background) const {
    std::vector<std::uint8_t> out;
    out.reserve(px_.size() * 3);
    Color bg = premultiply(with_alpha(background, 1));
    for (const Color& pm : px_) {
        Color c = composite(pm, bg);
        out.push_back(to8(c.r)), out.push_back(to8(c.g)), out.push_back(to8(c.b));
    }
    return out;
}

float sd_box(Vec2 p, Vec2 c, Vec2 half, float radius) {
    float qx = std::fabs(p.x - c.x) - half.x + radius, qy = std::fabs(p.y - c.y) - half.y + radius;
    float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
    return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - radius;
}

float sd_circle(Vec2 p, Vec2 c, float r) { return length(p - c) - r; }

float sd_segment(Vec2 p, Vec2 a, Vec2 b, float r) {
    Vec2 pa = p - a, ba = b - a;
    float h = std::clamp(dot(pa, ba) / std::max(dot(ba, ba), 1e-9f), 0.0f, 1.0f);
    return length(pa - ba * h) - r;
}

float sd_polygon(Vec2 p, const std::vector<Vec2>& v) {
    float d = dot(p - v[0], p - v[0]);
    float s = 1;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
        Vec2 e = v[j] - v[i], w = p - v[i];
        Vec2 b = w - e * std::clamp(dot(w, e) / dot(e, e), 0.0f, 1.0f);
        d = std::min(d, dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y < v[j].y, c3 = e.x * w.y > e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

float sd_ellipse(Vec2 p, Vec2 c, Vec2 r) {
    Vec2 q{(p.x - c.x) / r.x, (p.y - c.y) / r.y};
    float k = length(q);
    return (k - 1) * std::min(r.x, r.y);
}

float bevel_light(const Sdf& sdf, Vec2 p, float bevel, float strength) {
    const float e = 0.35f;
    auto height = [&](Vec2 q) { return smoothstep(0, bevel, -sdf(q)); };
    float hx = height({p.x + e, p.y}) - height({p.x - e, p.y});
    float hy = height({p.x, p.y + e}) - height({p.x, p.y - e});
    // Slope towards the light (top left) brightens, away from it darkens.
    float slope = (-hx - hy) / (2 * e) * bevel * 0.7071f;
    return 1 + strength * std::clamp(slope, -1.5f, 1.5f);
}

float hash01(int x, int y, int seed) {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u + std::uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xffffff) / float(0x1000000);
}

float value_noise(float x, float y, int seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    float fx = x - ix, fy = y - iy;
    float ux = fx * fx * (3 - 2 * fx), uy = fy * fy * (3 - 2 * fy);
    float a = hash01(ix, iy, seed), b = hash01(ix + 1, iy, seed);
    float c = hash01(ix, iy + 1, seed), d = hash01(ix + 1, iy + 1, seed);
    return a + (b - a) * ux + (c - a) * uy + (a - b - c + d) * ux * uy;
}

float fbm(float x, float y, int seed, int octaves, float lacunarity, float gain) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * value_noise(x, y, seed + i * 101);
        norm += amp;
        x *= lacunarity, y *= lacunarity, amp *= gain;
    }
    return sum / norm;
}

CellSample cells(float x, float y, int seed) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    CellSample s{9, 9, 0};
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            float px = cx + hash01(cx, cy, seed), py = cy + hash01(cx, cy, seed + 7);
            float d = std::hypot(px - x, py - y);
            if (d < s.d1) {
                s.d2 = s.d1, s.d1 = d, s.id = cx * 7919 + cy * 104729;
            } else if (d < s.d2) {
                s.d2 = d;
            }
        }
    return s;
}

std::uint32_t Rng::next() {
    s_ ^= s_ << 13, s_ ^= s_ >> 17, s_ ^= s_ << 5;
    return s_;
}
float Rng::uniform(float lo, float hi) { return lo + (hi - lo) * float(next() & 0xffffff) / float(0x1000000); }
int Rng::range(int lo, int hi) { return lo + int(next() % std::uint32_t(hi - lo + 1)); }

}  // namespace mediagen
