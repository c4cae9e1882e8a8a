#include "platform/canvas.h"

#include <algorithm>
#include <cmath>

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


}  // namespace

namespace {

// One premultiplied source pixel onto one destination pixel, tinted (0..255 per channel) and
// faded (am 0..255): alpha blending keeps (255 - a) of what lies under it; light adds to it.
inline void blend_pixel(std::uint32_t& d, std::uint32_t s, std::uint32_t rm, std::uint32_t gm, std::uint32_t bm,
                        std::uint32_t am, bool untinted, bool light)
{
    const std::uint32_t a = (s >> 24) * am / 255;
    if (a == 0) return;
    std::uint32_t sr = ((s >> 16) & 0xFF) * am / 255, sg = ((s >> 8) & 0xFF) * am / 255, sb = (s & 0xFF) * am / 255;
    if (!untinted) sr = sr * rm / 255, sg = sg * gm / 255, sb = sb * bm / 255;
    const std::uint32_t dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
    if (light) {
        d = 0xFF000000u | std::min<std::uint32_t>(255, dr + sr) << 16 | std::min<std::uint32_t>(255, dg + sg) << 8 |
            std::min<std::uint32_t>(255, db + sb);
    } else {
        const std::uint32_t keep = 255 - a;
        d = 0xFF000000u | (sr + dr * keep / 255) << 16 | (sg + dg * keep / 255) << 8 | (sb + db * keep / 255);
    }
}

// The premultiplied colour at a point of the picture, mixed from the four pixels around it;
// outside the picture counts as transparent, so turned edges fade out smoothly.
inline std::uint32_t sample_bilinear(const std::uint32_t* source, int pitch, int w, int h, double u, double v)
{
    const double fu = u - 0.5, fv = v - 0.5;
    const int x0 = static_cast<int>(std::floor(fu)), y0 = static_cast<int>(std::floor(fv));
    const auto wx = static_cast<std::uint32_t>((fu - x0) * 256), wy = static_cast<std::uint32_t>((fv - y0) * 256);
    const auto at = [&](int x, int y) -> std::uint32_t {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0u : source[static_cast<std::ptrdiff_t>(y) * pitch + x];
    };
    const std::uint32_t p[4] = {at(x0, y0), at(x0 + 1, y0), at(x0, y0 + 1), at(x0 + 1, y0 + 1)};
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

// x / 255 for two 8-bit products packed in one word (red and blue, or alpha and green),
// rounded: exact for every product of two bytes.
inline std::uint32_t divide_packed_by_255(std::uint32_t x)
{
    x += 0x00800080u;
    return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// The common cases, two channels at a time: an untinted picture (sprites, bricks, glows) and a
// black one (every shadow).
inline void blend_pixel_packed(std::uint32_t& d, std::uint32_t s, std::uint32_t am, bool black, bool light)
{
    std::uint32_t src_rb = divide_packed_by_255((s & 0x00FF00FFu) * am);
    std::uint32_t src_ag = divide_packed_by_255(((s >> 8) & 0x00FF00FFu) * am);
    const std::uint32_t a = src_ag >> 16;
    if (a == 0) return;
    if (black) src_rb = 0, src_ag &= 0x00FF0000u;
    if (light) {
        // Saturating add per channel: a carry out of a byte means the channel passed 255.
        const std::uint32_t rb = (d & 0x00FF00FFu) + src_rb;
        const std::uint32_t g = ((d >> 8) & 0xFFu) + (src_ag & 0xFFu);
        const std::uint32_t r = std::min<std::uint32_t>(255, rb >> 16), b = std::min<std::uint32_t>(255, rb & 0x1FFu);
        d = 0xFF000000u | r << 16 | std::min<std::uint32_t>(255, g) << 8 | b;
        return;
    }
    const std::uint32_t keep = 255 - a;
    const std::uint32_t dst_rb = divide_packed_by_255((d & 0x00FF00FFu) * keep);
    const std::uint32_t dst_g = divide_packed_by_255(((d >> 8) & 0xFFu) * keep);
    d = 0xFF000000u | (dst_rb + src_rb) | ((dst_g + (src_ag & 0xFFu)) << 8);
}

}  // namespace

void canvas_blit(const CanvasView& canvas, const std::uint32_t* source, int source_pitch, int w, int h, int x,
                 int y, int r, int g, int b, int alpha, bool light, bool copy)
{
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, canvas.width), y1 = std::min(y + h, canvas.height);
    if (x0 >= x1 || y0 >= y1 || alpha <= 0) return;
    const auto am = static_cast<std::uint32_t>(std::min(alpha, 255));
    const auto rm = static_cast<std::uint32_t>(r), gm = static_cast<std::uint32_t>(g), bm = static_cast<std::uint32_t>(b);
    const bool untinted = r == 255 && g == 255 && b == 255;
    const bool black = r == 0 && g == 0 && b == 0;
    for (int py = y0; py < y1; ++py) {
        std::uint32_t* dst = canvas.pixels + static_cast<std::ptrdiff_t>(py) * canvas.pitch_pixels;
        const std::uint32_t* src = source + static_cast<std::ptrdiff_t>(py - y) * source_pitch - x;
        if (copy) {
            std::copy(src + x0, src + x1, dst + x0);
            continue;
        }
        if (untinted || black) {
            for (int px = x0; px < x1; ++px)
                if (src[px] >> 24) blend_pixel_packed(dst[px], src[px], am, black, light);
            continue;
        }
        for (int px = x0; px < x1; ++px)
            if (src[px] >> 24) blend_pixel(dst[px], src[px], rm, gm, bm, am, untinted, light);
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
    const int x0 = std::max(0, static_cast<int>(std::floor(min_x)) - 1);
    const int y0 = std::max(0, static_cast<int>(std::floor(min_y)) - 1);
    const int x1 = std::min(canvas.width, static_cast<int>(std::ceil(max_x)) + 1);
    const int y1 = std::min(canvas.height, static_cast<int>(std::ceil(max_y)) + 1);
    const auto am = static_cast<std::uint32_t>(std::min(alpha, 255));
    const auto rm = static_cast<std::uint32_t>(r), gm = static_cast<std::uint32_t>(g), bm = static_cast<std::uint32_t>(b);
    const bool untinted = r == 255 && g == 255 && b == 255;
    const bool black = r == 0 && g == 0 && b == 0;
    // A quarter turn (the ion beam's columns of sparks stand on end) maps whole pixels onto
    // whole pixels: sample the nearest one, which is what bilinear mixing gives there anyway at
    // scale 1, and nearly so when the picture is stretched.
    if (filtered && (std::fabs(s) < 1e-6 || std::fabs(c) < 1e-6)) filtered = false;
    // Screen point -> picture point: turn back, unscale, add the handle. Affine, so it steps.
    const double du_dx = c / sx, dv_dx = -s / sy;
    for (int py = y0; py < y1; ++py) {
        std::uint32_t* dst = canvas.pixels + static_cast<std::ptrdiff_t>(py) * canvas.pitch_pixels;
        const double ex = x0 + 0.5 - x, ey = py + 0.5 - y;
        double u = (c * ex + s * ey) / sx + hx, v = (-s * ex + c * ey) / sy + hy;
        for (int px = x0; px < x1; ++px, u += du_dx, v += dv_dx) {
            std::uint32_t texel;
            if (filtered) {
                if (u < -0.5 || v < -0.5 || u > w + 0.5 || v > h + 0.5) continue;
                texel = sample_bilinear(source, source_pitch, w, h, u, v);
            } else {
                if (u < 0 || v < 0 || u >= w || v >= h) continue;
                texel = source[static_cast<std::ptrdiff_t>(v) * source_pitch + static_cast<std::ptrdiff_t>(u)];
            }
            if (texel >> 24 == 0) continue;
            if (untinted || black) blend_pixel_packed(dst[px], texel, am, black, light);
            else blend_pixel(dst[px], texel, rm, gm, bm, am, untinted, light);
        }
    }
}

void canvas_fill(const CanvasView& canvas, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha,
                 bool light)
{
    x0 = std::max(x0, 0), y0 = std::max(y0, 0);
    x1 = std::min(x1, canvas.width), y1 = std::min(y1, canvas.height);
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
            for (int x = x0; x < x1; ++x) row[x] = mix_pixel(row[x], src_rb, src_g, keep);
        }
    }
}
