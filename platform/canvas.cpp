// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/canvas.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Both red and blue (or green alone) of a pixel at once, weighted out of 256.
inline std::uint32_t mix_pixel(std::uint32_t dst, std::uint32_t src_rb, std::uint32_t src_g, std::uint32_t keep)
{
    const std::uint32_t rb = ((dst & 0x00FF00FFu) * keep >> 8) & 0x00FF00FFu;
    const std::uint32_t g = ((dst & 0x0000FF00u) * keep >> 8) & 0x0000FF00u;
    return 0xFF000000u | (rb + src_rb) | (g + src_g);
}

inline std::uint32_t add_pixel(std::uint32_t dst, std::uint32_t add_r, std::uint32_t add_g, std::uint32_t add_b)
{
    const std::uint32_t r = std::min<std::uint32_t>(255, ((dst >> 16) & 0xFF) + add_r);
    const std::uint32_t g = std::min<std::uint32_t>(255, ((dst >> 8) & 0xFF) + add_g);
    const std::uint32_t b = std::min<std::uint32_t>(255, (dst & 0xFF) + add_b);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// The premultiplied colour at a point of the picture, mixed from the four pixels around it;
// outside the picture counts as transparent, so turned edges fade out smoothly. fu and fv are
// the point less half a pixel, in 1/65536ths of a pixel.
inline std::uint32_t sample_bilinear(const std::uint32_t* source, int pitch, int w, int h, std::int32_t fu,
                                     std::int32_t fv)
{
    const int x0 = fu >> 16, y0 = fv >> 16;
    const auto wx = static_cast<std::uint32_t>(fu >> 8) & 0xFFu, wy = static_cast<std::uint32_t>(fv >> 8) & 0xFFu;
    std::uint32_t p[4];
    if (static_cast<unsigned>(x0) < static_cast<unsigned>(w - 1) && static_cast<unsigned>(y0) < static_cast<unsigned>(h - 1)) {
        const std::uint32_t* at = source + static_cast<std::ptrdiff_t>(y0) * pitch + x0;
        p[0] = at[0], p[1] = at[1], p[2] = at[pitch], p[3] = at[pitch + 1];
    } else {
        // Along the edges some of the four lie outside.
        const auto at = [&](int x, int y) -> std::uint32_t {
            return (x < 0 || y < 0 || x >= w || y >= h) ? 0u : source[static_cast<std::ptrdiff_t>(y) * pitch + x];
        };
        p[0] = at(x0, y0), p[1] = at(x0 + 1, y0), p[2] = at(x0, y0 + 1), p[3] = at(x0 + 1, y0 + 1);
    }
    // Glows and rims are mostly clear: most samples mix four clear pixels.
    if ((p[0] | p[1] | p[2] | p[3]) == 0) return 0;
    // Four weights that add up to exactly 256: a channel's weighted sum then stays below 65536,
    // inside the 16 bits each channel has when two share a word, and a flat colour stays exact.
    const std::uint32_t w11 = wx * wy >> 8, w10 = wx - w11, w01 = wy - w11, w00 = 256 - w10 - w01 - w11;
    const std::uint32_t weight[4] = {w00, w10, w01, w11};
    // Premultiplied channels mix linearly: red and blue together, then alpha and green.
    std::uint32_t rb = 0, ag = 0;
    for (int i = 0; i < 4; ++i) {
        rb += (p[i] & 0x00FF00FFu) * weight[i];
        ag += ((p[i] >> 8) & 0x00FF00FFu) * weight[i];
    }
    return (rb >> 8 & 0x00FF00FFu) | (ag >> 8 & 0x00FF00FFu) << 8;
}

}  // namespace

TexelScale texel_scale(int r, int g, int b, int alpha)
{
    // Out of 256, rounded, so that full colour at full alpha keeps every channel exactly.
    const auto channel = [&](int tint) {
        return static_cast<std::uint16_t>((tint * alpha * 256 + 65025 / 2) / 65025);
    };
    return TexelScale{{channel(b), channel(g), channel(r), channel(255)}};
}

std::uint32_t blend_texel_portable(std::uint32_t d, std::uint32_t texel, const TexelScale& scale, bool light)
{
    std::uint32_t out = 0xFF000000u;
    const std::uint32_t a = ((texel >> 24) * scale.m[3] + 128) >> 8;
    const std::uint32_t keep = 256 - (a + (a >> 7));
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t c = (((texel >> (8 * i)) & 0xFFu) * scale.m[i] + 128) >> 8;
        const std::uint32_t under = (d >> (8 * i)) & 0xFFu;
        const std::uint32_t mixed = light ? under + c : c + ((under * keep + 128) >> 8);
        out |= std::min<std::uint32_t>(255, mixed) << (8 * i);
    }
    return out;
}

#if defined(__SSE2__)
namespace {
// The same arithmetic for four pixels at once, each channel in a 16-bit lane: a byte times a
// multiplier of at most 256, plus a half for rounding, stays below 65536.
inline __m128i scaled_lanes(__m128i lanes, __m128i scale)
{
    return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(lanes, scale), _mm_set1_epi16(128)), 8);
}

inline __m128i scale_texels(__m128i texels, __m128i scale, __m128i zero, __m128i& low, __m128i& high)
{
    low = scaled_lanes(_mm_unpacklo_epi8(texels, zero), scale);
    high = scaled_lanes(_mm_unpackhi_epi8(texels, zero), scale);
    return _mm_packus_epi16(low, high);
}

// What alpha blending keeps of the pixels under: 256 less each picture pixel's alpha out of 256.
inline __m128i kept_under(__m128i under, __m128i scaled)
{
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(scaled, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(256), _mm_add_epi16(a, _mm_srli_epi16(a, 7)));
    return scaled_lanes(under, keep);
}

inline __m128i blend4(__m128i under, __m128i texels, __m128i scale, bool light)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i low, high;
    const __m128i scaled = scale_texels(texels, scale, zero, low, high);
    __m128i out;
    if (light) {
        out = _mm_adds_epu8(scaled, under);
    } else {
        const __m128i kept_low = kept_under(_mm_unpacklo_epi8(under, zero), low);
        const __m128i kept_high = kept_under(_mm_unpackhi_epi8(under, zero), high);
        out = _mm_packus_epi16(_mm_add_epi16(low, kept_low), _mm_add_epi16(high, kept_high));
    }
    return _mm_or_si128(out, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
}
}  // namespace
#endif

namespace {

// One tint and fade, ready for blending rows of picture pixels onto the screen.
class Blender {
public:
    Blender(const TexelScale& scale, bool light) : scale_(scale), light_(light)
    {
#if defined(__SSE2__)
        const auto lane = [&](int i) { return static_cast<short>(scale.m[i]); };
        lanes_ = _mm_setr_epi16(lane(0), lane(1), lane(2), lane(3), lane(0), lane(1), lane(2), lane(3));
#endif
    }

    // n texels onto n screen pixels. A fully transparent texel leaves its pixel as it was.
    void row(std::uint32_t* dst, const std::uint32_t* texels, int n) const
    {
        int i = 0;
#if defined(__SSE2__)
        for (; i + 4 <= n; i += 4) {
            auto* d = reinterpret_cast<__m128i*>(dst + i);
            const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + i));
            _mm_storeu_si128(d, blend4(_mm_loadu_si128(d), t, lanes_, light_));
        }
#endif
        for (; i < n; ++i)
            if (texels[i] != 0) dst[i] = blend_texel_portable(dst[i], texels[i], scale_, light_);
    }

private:
    TexelScale scale_;
    bool light_;
#if defined(__SSE2__)
    __m128i lanes_;
#endif
};

// Texels are gathered a stretch at a time, then blended together.
constexpr int stretch = 64;

// floor() for the picture coordinates of a row, which stay far inside these bounds.
inline std::int64_t floor_bounded(double x)
{
    x = std::clamp(x, -1e15, 1e15);
    const auto t = static_cast<std::int64_t>(x);
    return static_cast<double>(t) > x ? t - 1 : t;
}

// A picture coordinate in 1/65536ths of a pixel.
inline std::int64_t fixed(double u) { return floor_bounded(u * 65536.0); }

// The affine walk through the picture along one screen row, in 1/65536ths of a pixel, and the
// part of the picture it may sample: [low, high) in u and in v.
struct Walk {
    std::int64_t u, v, du, dv;
};
struct Window {
    std::int64_t low_u, high_u, low_v, high_v;
};

bool inside(const Walk& walk, int k, const Window& window)
{
    const std::int64_t u = walk.u + walk.du * k, v = walk.v + walk.dv * k;
    return u >= window.low_u && u < window.high_u && v >= window.low_v && v < window.high_v;
}

// The screen pixels k0 .. k1 - 1 of a row whose picture coordinate runs u0 + (px - x0) du,
// narrowed to those where it may lie inside [low, high), give or take two pixels. per_du is
// 1 / du, or 0 where u stays the same along the row.
inline void narrow_span(double u0, double per_du, double low, double high, int x0, int& k0, int& k1)
{
    if (per_du == 0) {
        if (u0 < low || u0 >= high) k1 = k0;
        return;
    }
    double first = (low - u0) * per_du, last = (high - u0) * per_du;
    if (first > last) std::swap(first, last);
    // Truncation is floor or one above it: the two pixels either side cover that.
    k0 = std::max(k0, static_cast<int>(std::max(first, -1e6)) - 2 + x0);
    k1 = std::min(k1, static_cast<int>(std::min(last, 1e6)) + 2 + x0);
}

inline double reciprocal(double step) { return std::fabs(step) < 1e-12 ? 0 : 1 / step; }

// Drops the end pixels of a row of n that fall outside the window and returns how many went
// from the front. The walk is linear, so what lies between two pixels inside lies inside too.
int trim_walk(Walk& walk, int& n, const Window& window)
{
    int first = 0;
    while (first < n && !inside(walk, first, window)) ++first;
    while (n > first && !inside(walk, n - 1, window)) --n;
    walk.u += walk.du * first, walk.v += walk.dv * first;
    n -= first;
    return first;
}

void gather_nearest(const std::uint32_t* source, int pitch, Walk& walk, std::uint32_t* texels, int n)
{
    for (int i = 0; i < n; ++i, walk.u += walk.du, walk.v += walk.dv)
        texels[i] = source[static_cast<std::ptrdiff_t>(walk.v >> 16) * pitch + static_cast<std::ptrdiff_t>(walk.u >> 16)];
}

void gather_bilinear(const std::uint32_t* source, int pitch, int w, int h, Walk& walk, std::uint32_t* texels, int n)
{
    for (int i = 0; i < n; ++i, walk.u += walk.du, walk.v += walk.dv)
        texels[i] = sample_bilinear(source, pitch, w, h, static_cast<std::int32_t>(walk.u - 32768),
                                    static_cast<std::int32_t>(walk.v - 32768));
}

}  // namespace

void blend_row(std::uint32_t* under, const std::uint32_t* texels, int n, const TexelScale& scale, bool light)
{
    Blender(scale, light).row(under, texels, n);
}

void canvas_blit(const CanvasView& canvas, const std::uint32_t* source, int source_pitch, int w, int h, int x,
                 int y, int r, int g, int b, int alpha, bool light, bool copy)
{
    const int x0 = std::max({x, 0, canvas.clip_x0}), y0 = std::max({y, 0, canvas.clip_y0});
    const int x1 = std::min({x + w, canvas.width, canvas.clip_x1}),
              y1 = std::min({y + h, canvas.height, canvas.clip_y1});
    if (x0 >= x1 || y0 >= y1 || alpha <= 0) return;
    const Blender blend(texel_scale(r, g, b, std::min(alpha, 255)), light);
    for (int py = y0; py < y1; ++py) {
        std::uint32_t* dst = canvas.pixels + static_cast<std::ptrdiff_t>(py) * canvas.pitch_pixels;
        const std::uint32_t* src = source + static_cast<std::ptrdiff_t>(py - y) * source_pitch - x;
        if (copy) std::copy(src + x0, src + x1, dst + x0);
        else blend.row(dst + x0, src + x0, x1 - x0);
    }
}

void canvas_blit_transformed(const CanvasView& canvas, const std::uint32_t* source, int source_pitch, int w, int h,
                             float hx, float hy, float x, float y, float rotation, float sx, float sy, int r, int g,
                             int b, int alpha, bool light, bool filtered)
{
    if (alpha <= 0 || sx == 0 || sy == 0 || w <= 0 || h <= 0) return;
    const double radians = rotation * 3.14159265358979323846 / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    // The placed picture's bounding box on the screen.
    double min_x = 1e30, min_y = 1e30, max_x = -1e30, max_y = -1e30;
    for (const double cx : {0.0, double(w)})
        for (const double cy : {0.0, double(h)}) {
            const double ux = (cx - hx) * sx, uy = (cy - hy) * sy;
            const double px = x + c * ux - s * uy, py = y + s * ux + c * uy;
            min_x = std::min(min_x, px), max_x = std::max(max_x, px);
            min_y = std::min(min_y, py), max_y = std::max(max_y, py);
        }
    const int x0 = std::max(0, static_cast<int>(floor_bounded(std::max(min_x, -1e6))) - 1);
    const int y0 = std::max(0, static_cast<int>(floor_bounded(std::max(min_y, -1e6))) - 1);
    const int x1 = std::min(canvas.width, static_cast<int>(floor_bounded(std::min(max_x, 1e6))) + 2);
    const int y1 = std::min(canvas.height, static_cast<int>(floor_bounded(std::min(max_y, 1e6))) + 2);
    const Blender blend(texel_scale(r, g, b, std::min(alpha, 255)), light);
    // A quarter turn (the ion beam's columns of sparks stand on end) maps whole pixels onto
    // whole pixels: sample the nearest one, which is what bilinear mixing gives there anyway at
    // scale 1, and nearly so when the picture is stretched.
    if (filtered && (std::fabs(s) < 1e-6 || std::fabs(c) < 1e-6)) filtered = false;
    // Bilinear mixing reaches half a pixel past the picture's edges, where it fades out.
    const double margin = filtered ? 0.5 : 0;
    const Window window = filtered ? Window{fixed(-0.5), fixed(w + 0.5) + 1, fixed(-0.5), fixed(h + 0.5) + 1}
                                   : Window{0, std::int64_t{w} << 16, 0, std::int64_t{h} << 16};
    // Screen point -> picture point: turn back, unscale, add the handle. Affine, so it steps, in
    // 1/65536ths of a pixel: across the screen the steps stray by less than a hundredth of one.
    const double du_dx = c / sx, dv_dx = -s / sy, du_dy = s / sx, dv_dy = c / sy;
    const double per_du = reciprocal(du_dx), per_dv = reciprocal(dv_dx);
    const double ex = x0 + 0.5 - x, ey = y0 + 0.5 - y;
    double u = (c * ex + s * ey) / sx + hx, v = (-s * ex + c * ey) / sy + hy;
    std::uint32_t texels[stretch];
    // Rows above the clip are stepped over, not skipped by a multiplication, so every row's
    // start is the same sum as when the whole picture is drawn.
    const int last_row = std::min(y1, canvas.clip_y1);
    for (int py = y0; py < last_row; ++py, u += du_dy, v += dv_dy) {
        if (py < canvas.clip_y0) continue;
        std::uint32_t* dst = canvas.pixels + static_cast<std::ptrdiff_t>(py) * canvas.pitch_pixels;
        int k0 = x0, k1 = x1;
        narrow_span(u, per_du, -margin, w + margin, x0, k0, k1);
        narrow_span(v, per_dv, -margin, h + margin, x0, k0, k1);
        k0 = std::max(k0, x0), k1 = std::min(k1, x1);
        if (k0 >= k1) continue;
        const double skip = k0 - x0;
        Walk walk{fixed(u + skip * du_dx), fixed(v + skip * dv_dx), fixed(du_dx), fixed(dv_dx)};
        int n = k1 - k0;
        int px = k0 + trim_walk(walk, n, window);
        // The walk steps by whole 1/65536ths, so jumping it over the pixels left of the clip
        // lands where stepping would.
        if (px < canvas.clip_x0) {
            const int left_out = std::min(n, canvas.clip_x0 - px);
            walk.u += walk.du * left_out, walk.v += walk.dv * left_out;
            px += left_out, n -= left_out;
        }
        n = std::min(n, canvas.clip_x1 - px);
        while (n > 0) {
            const int count = std::min(n, stretch);
            if (filtered) gather_bilinear(source, source_pitch, w, h, walk, texels, count);
            else gather_nearest(source, source_pitch, walk, texels, count);
            blend.row(dst + px, texels, count);
            px += count, n -= count;
        }
    }
}

namespace {
// A row of pixels under a translucent colour: each channel keeps keep/256 of itself and adds the
// colour's share (`mix_pixel`). Four pixels at a time where SSE2 is at hand, with the very same
// arithmetic (a byte times at most 256 fits a 16-bit lane; no rounding, as in mix_pixel), so the
// picture is the same on any processor. The menus' veil is such a row across the whole screen
// every frame.
void mix_row(std::uint32_t* row, int x0, int x1, std::uint32_t src_rb, std::uint32_t src_g, std::uint32_t keep)
{
    int x = x0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i keep_lanes = _mm_set1_epi16(static_cast<short>(keep));
    const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(src_rb | src_g)), zero);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; x + 4 <= x1; x += 4) {
        const __m128i under = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i low = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(under, zero), keep_lanes), 8), colour);
        const __m128i high = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(under, zero), keep_lanes), 8), colour);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), _mm_or_si128(_mm_packus_epi16(low, high), opaque));
    }
#endif
    for (; x < x1; ++x) row[x] = mix_pixel(row[x], src_rb, src_g, keep);
}
}  // namespace

void canvas_fill(const CanvasView& canvas, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha,
                 bool light)
{
    x0 = std::max({x0, 0, canvas.clip_x0}), y0 = std::max({y0, 0, canvas.clip_y0});
    x1 = std::min({x1, canvas.width, canvas.clip_x1}), y1 = std::min({y1, canvas.height, canvas.clip_y1});
    if (x0 >= x1 || y0 >= y1 || alpha <= 0) return;
    alpha = std::min(alpha, 255);
    // alpha out of 256, so that 255 means all of the colour and none of what lies under it.
    const std::uint32_t a = static_cast<std::uint32_t>(alpha + (alpha >> 7));
    const auto cr = static_cast<std::uint32_t>(r), cg = static_cast<std::uint32_t>(g), cb = static_cast<std::uint32_t>(b);
    for (int y = y0; y < y1; ++y) {
        std::uint32_t* row = canvas.pixels + static_cast<std::ptrdiff_t>(y) * canvas.pitch_pixels;
        if (light) {
            const std::uint32_t ar = cr * a >> 8, ag = cg * a >> 8, ab = cb * a >> 8;
            for (int x = x0; x < x1; ++x) row[x] = add_pixel(row[x], ar, ag, ab);
        } else {
            const std::uint32_t src_rb = ((cr << 16 | cb) * a >> 8) & 0x00FF00FFu;
            const std::uint32_t src_g = ((cg << 8) * a >> 8) & 0x0000FF00u;
            const std::uint32_t keep = 256 - a;
            mix_row(row, x0, x1, src_rb, src_g, keep);
        }
    }
}
