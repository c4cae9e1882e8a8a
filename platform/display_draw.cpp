// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing operations: the global drawing state, and images, rectangles and lines drawn with
// it, in software straight into the picture or through the renderer into the target texture.
#include "platform/display.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/canvas.h"
#include "platform/display_internal.h"
#include "platform/frame_stats.h"
#include "platform/render_internal.h"

using namespace display_detail;

void set_mask_color(int, int, int)
{
    // The mask colour is fixed at (255, 0, 255): the game sets it once and never changes it.
}

void clear_screen()
{
    if (display.renderer == nullptr) return;
    SDL_SetRenderDrawBlendMode(display.renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(display.renderer, 0, 0, 0, 255);
    SDL_RenderClear(display.renderer);
}

void set_color(int r, int g, int b)
{
    display.state.r = std::clamp(r, 0, 255);
    display.state.g = std::clamp(g, 0, 255);
    display.state.b = std::clamp(b, 0, 255);
}
void set_alpha(float alpha) { display.state.alpha = alpha; }
void set_blend(int mode) { display.state.blend = mode; }
void set_rotation(float degrees) { display.state.rotation = degrees; }
void set_scale(float sx, float sy) { display.state.scale_x = sx, display.state.scale_y = sy; }
int current_blend() { return display.state.blend; }
float current_alpha() { return display.state.alpha; }
float current_rotation() { return display.state.rotation; }
float current_scale_x() { return display.state.scale_x; }
float current_scale_y() { return display.state.scale_y; }

namespace {
// Drawing time is counted for --stats while one of these is alive.
struct DrawTimer {
    DrawTimer() { frame_stats_begin_draw(); }
    ~DrawTimer() { frame_stats_end_draw(); }
    DrawTimer(const DrawTimer&) = delete;
    DrawTimer& operator=(const DrawTimer&) = delete;
};

Uint8 alpha_byte() { return static_cast<Uint8>(std::lround(std::clamp(display.state.alpha, 0.0f, 1.0f) * 255)); }
SDL_BlendMode sdl_blend() { return display.state.blend == blend_light ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND; }
}  // namespace

void draw_image(Image image, float x, float y, int frame)
{
    if (image == nullptr || display.renderer == nullptr || !display.drawing) return;
    const DrawTimer timer;
    const DrawState& s = display.state;
    if (display.canvas != nullptr && s.rotation == 0 && s.scale_x == 1 && s.scale_y == 1) {
        // Pixel px shows image pixel px + shift: its centre lies inside that pixel, the same
        // rule images_collide uses.
        const int left = -static_cast<int>(std::floor(0.5 - (double(x) - image_handle_x(image))));
        const int top = -static_cast<int>(std::floor(0.5 - (double(y) - image_handle_y(image))));
        const SDL_Rect cell = image_frame_rect(image, frame);
        const int pitch = image_argb_pitch(image);
        const bool copy = s.blend == blend_alpha && alpha_byte() == 255 && image_opaque(image) &&
                          s.r == 255 && s.g == 255 && s.b == 255;
        canvas_blit(canvas_view(), image_argb(image) + cell.x, pitch, cell.w, cell.h, left, top, s.r, s.g, s.b,
                    alpha_byte(), s.blend == blend_light, copy);
        return;
    }
    if (display.canvas != nullptr) {
        const SDL_Rect cell = image_frame_rect(image, frame);
        canvas_blit_transformed(canvas_view(), image_argb(image) + cell.x, image_argb_pitch(image), cell.w, cell.h,
                                image_handle_x(image), image_handle_y(image), x, y, s.rotation, s.scale_x, s.scale_y,
                                s.r, s.g, s.b, alpha_byte(), s.blend == blend_light, image_is_filtered(image));
        return;
    }
    SDL_Texture* texture = image_texture(image);
    if (texture == nullptr) return;
    SDL_SetTextureColorMod(texture, static_cast<Uint8>(s.r), static_cast<Uint8>(s.g), static_cast<Uint8>(s.b));
    SDL_SetTextureAlphaMod(texture, alpha_byte());
    // An opaque picture drawn at full alpha replaces what is under it: the same pixels as
    // blending, at the cost of a copy (the backgrounds, every frame).
    const bool plain_copy = s.blend == blend_alpha && alpha_byte() == 255 && image_opaque(image);
    SDL_SetTextureBlendMode(texture, plain_copy ? SDL_BLENDMODE_NONE : sdl_blend());
    const SDL_Rect source = image_frame_rect(image, frame);
    const float hx = image_handle_x(image), hy = image_handle_y(image);
    const float w = image_width(image) * std::fabs(s.scale_x), h = image_height(image) * std::fabs(s.scale_y);
    const float cx = hx * std::fabs(s.scale_x), cy = hy * std::fabs(s.scale_y);
    int flip_flags = SDL_FLIP_NONE;
    if (s.scale_x < 0) flip_flags |= SDL_FLIP_HORIZONTAL;
    if (s.scale_y < 0) flip_flags |= SDL_FLIP_VERTICAL;
    const SDL_FRect dest{x - cx, y - cy, w, h};
    const SDL_FPoint centre{cx, cy};
    if (s.rotation == 0 && flip_flags == SDL_FLIP_NONE) SDL_RenderCopyF(display.renderer, texture, &source, &dest);
    else SDL_RenderCopyExF(display.renderer, texture, &source, &dest, s.rotation, &centre,
                           static_cast<SDL_RendererFlip>(flip_flags));
}

void draw_rect(float x, float y, float width, float height)
{
    if (display.renderer == nullptr || !display.drawing) return;
    const DrawTimer timer;
    const DrawState& s = display.state;
    if (display.canvas != nullptr) {
        // A pixel is filled when its centre lies inside the rectangle.
        const auto edge = [](float v) { return static_cast<int>(std::floor(v + 0.5f)); };
        canvas_fill(canvas_view(), edge(x), edge(y), edge(x + width), edge(y + height), s.r, s.g, s.b, alpha_byte(),
                    s.blend == blend_light);
        return;
    }
    SDL_SetRenderDrawBlendMode(display.renderer, sdl_blend());
    SDL_SetRenderDrawColor(display.renderer, static_cast<Uint8>(s.r), static_cast<Uint8>(s.g),
                           static_cast<Uint8>(s.b), alpha_byte());
    const SDL_FRect rect{x, y, width, height};
    SDL_RenderFillRectF(display.renderer, &rect);
}

void draw_line(float x1, float y1, float x2, float y2, int draw_last_pixel)
{
    if (display.renderer == nullptr || !display.drawing) return;
    const DrawTimer timer;
    const DrawState& s = display.state;
    SDL_SetRenderDrawBlendMode(display.renderer, sdl_blend());
    SDL_SetRenderDrawColor(display.renderer, static_cast<Uint8>(s.r), static_cast<Uint8>(s.g),
                           static_cast<Uint8>(s.b), alpha_byte());
    SDL_RenderDrawLineF(display.renderer, x1, y1, x2, y2);
    // The last pixel is drawn on its own, so every backend includes it.
    if (draw_last_pixel) SDL_RenderDrawPointF(display.renderer, x2, y2);
}

void grab_image(Image image, float x, float y, int frame)
{
    if (image == nullptr || display.renderer == nullptr) return;
    const SDL_Rect source{static_cast<int>(x), static_cast<int>(y), image_width(image), image_height(image)};
    const SDL_Rect whole{0, 0, screen_width, screen_height};
    SDL_Rect clipped;
    if (!SDL_IntersectRect(&source, &whole, &clipped)) return;
    const SDL_Rect frame_rect = image_frame_rect(image, frame);
    const SDL_Rect written{frame_rect.x + clipped.x - source.x, frame_rect.y + clipped.y - source.y, clipped.w, clipped.h};
    if (display.canvas != nullptr) {
        const CanvasView view = canvas_view();
        std::uint32_t* pixels = image_argb_for_writing(image);
        const int pitch = image_argb_pitch(image);
        for (int row = 0; row < clipped.h; ++row) {
            const std::uint32_t* from = view.pixels + (clipped.y + row) * view.pitch_pixels + clipped.x;
            std::copy(from, from + clipped.w, pixels + (written.y + row) * pitch + written.x);
        }
        mask_written_pixels(image, written);
        return;
    }
    SDL_Texture* texture = image_texture(image);
    if (texture == nullptr) return;
    SDL_SetRenderTarget(display.renderer, texture);
    SDL_SetTextureBlendMode(display.target, SDL_BLENDMODE_NONE);
    SDL_RenderCopy(display.renderer, display.target, &clipped, &written);
    SDL_SetTextureBlendMode(display.target, SDL_BLENDMODE_BLEND);
    mask_grabbed_texture(image, texture, written);
    SDL_SetRenderTarget(display.renderer, display.target);
}
