// SPDX-License-Identifier: GPL-3.0-or-later
// Filled rectangles straight into a 32-bit ARGB picture in memory: the software renderer's own
// blended fills are several times slower, and the menus lay a veil over the whole screen every
// frame. Used wherever the picture is drawn in software (headless runs, windows without a GPU).
#pragma once

#include <cstdint>

struct CanvasView {
    std::uint32_t* pixels;   // 0xAARRGGBB
    int width;
    int height;
    int pitch_pixels;
    // Only pixels inside [clip_x0, clip_x1) x [clip_y0, clip_y1) are written, each exactly as
    // drawing the whole would write it: a part of the picture can be drawn again on its own.
    int clip_x0 = 0, clip_y0 = 0;
    int clip_x1 = 1 << 30, clip_y1 = 1 << 30;
};

// Draws w x h pixels of a premultiplied 0xAARRGGBB picture (pitch in pixels) with their top-left corner at
// (x, y), tinted by the colour (r, g, b) and faded by alpha 0..255, blended as alpha or light.
// copy: the picture is opaque and drawn at full alpha untinted, so it simply replaces.
void canvas_blit(const CanvasView& canvas, const std::uint32_t* source, int source_pitch, int w, int h, int x,
                 int y, int r, int g, int b, int alpha, bool light, bool copy);

// The same for a picture turned (degrees, clockwise on screen) and scaled about its handle
// (hx, hy), placed with the handle at (x, y). filtered samples bilinearly, else the nearest pixel.
void canvas_blit_transformed(const CanvasView& canvas, const std::uint32_t* source, int source_pitch, int w, int h,
                             float hx, float hy, float x, float y, float rotation, float sx, float sy, int r, int g,
                             int b, int alpha, bool light, bool filtered);

// A tint (r, g, b) and fade (alpha), all 0..255, as the multiplier of each channel of a picture's
// pixels, out of 256, in the order the channels lie in memory: blue, green, red, alpha.
struct TexelScale {
    std::uint16_t m[4];
};
TexelScale texel_scale(int r, int g, int b, int alpha);

// One premultiplied picture pixel, scaled, onto an opaque screen pixel: alpha blending keeps
// what the pixel's alpha leaves of the one under it, light adds to it, saturating.
// blend_row does n of them, four at a time where the processor can, with the same result.
void blend_row(std::uint32_t* under, const std::uint32_t* texels, int n, const TexelScale& scale, bool light);
std::uint32_t blend_texel_portable(std::uint32_t under, std::uint32_t texel, const TexelScale& scale, bool light);

// Blend 3 (alpha): destination = colour x alpha + destination x (1 - alpha).
// Blend 4 (light): destination = colour x alpha + destination, saturated.
// alpha is 0..255; the rectangle is clipped to the picture.
void canvas_fill(const CanvasView& canvas, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha,
                 bool light);
