// SPDX-License-Identifier: GPL-3.0-or-later
// Images: decoded once from embedded PNG or JPEG bytes, drawn through the display's renderer,
// and collided pixel-exactly on alpha masks kept at load time.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Load flags, added together.
constexpr int image_masked = 1;    // pixels of the mask colour (255, 0, 255) become transparent
constexpr int image_filtered = 2;  // bilinear filtering when scaled or rotated
constexpr int image_dynamic = 8;   // can be written by grab_image
constexpr int image_default_flags = image_masked | image_filtered;

struct ImageData;
using Image = ImageData*;   // images live for the whole run once loaded

// Decoded RGBA pixels (row-major, 4 bytes per pixel, R G B A).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Decodes PNG or JPEG bytes (told apart by their signature); false with a reason on failure.
bool decode_picture(std::span<const std::uint8_t> bytes, Pixels& out, std::string& error);
// Writes RGBA pixels as a PNG file (no time stamps, so the same pixels give the same bytes).
bool write_png(const std::string& path, const Pixels& pixels, std::string* why = nullptr);

// `load_image` and `load_anim_image`: path "incbin::data\gfx\..." names an embedded file. flags -1
// means the default (masked + filtered). An embedded picture that fails to decode stops the
// program with a message naming it.
Image load_image(std::string_view path, int flags);
Image load_anim_image(std::string_view path, int cell_width, int cell_height, int first_cell,
                      int cell_count, int flags);
// The same from pixels already in memory (tests and tools).
Image create_image_from_pixels(const Pixels& pixels, int cell_width, int cell_height,
                               int first_cell, int cell_count, int flags);
Image create_image(int width, int height, int frames, int flags);

void mid_handle_image(Image image);
void set_image_handle(Image image, float x, float y);
int image_width(Image image);
int image_height(Image image);
int image_frames(Image image);
float image_handle_x(Image image);
float image_handle_y(Image image);
// Alpha of one pixel of one frame as loaded (0..255), for tests and the collision masks.
int image_alpha_at(Image image, int frame, int x, int y);

// Pixel-exact overlap of two placed, rotated and scaled images: true when any non-transparent
// pixel of the first covers a non-transparent pixel of the second. Rotation is in degrees,
// clockwise on screen, about each image's handle; the drawing state is not touched.
bool images_collide(Image image1, float x1, float y1, int frame1, float rotation1, float sx1,
                    float sy1, Image image2, float x2, float y2, int frame2, float rotation2,
                    float sx2, float sy2);
