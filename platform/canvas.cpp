#include "platform/canvas.h"

#include <algorithm>

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
