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
};

// Blend 3 (alpha): destination = colour x alpha + destination x (1 - alpha).
// Blend 4 (light): destination = colour x alpha + destination, saturated.
// alpha is 0..255; the rectangle is clipped to the picture.
void canvas_fill(const CanvasView& canvas, int x0, int y0, int x1, int y1, int r, int g, int b, int alpha,
                 bool light);
