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
    if (display.renderer == nullptr || !display.drawing) return;
    record_op(DrawOp{});
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
}  // namespace

namespace {

DrawOp op_of(DrawOp::Kind kind)
{
    const DrawState& s = display.state;
    DrawOp op;
    op.kind = kind;
    op.r = static_cast<std::uint8_t>(s.r), op.g = static_cast<std::uint8_t>(s.g), op.b = static_cast<std::uint8_t>(s.b);
    op.blend = static_cast<std::uint8_t>(s.blend);
    op.alpha = s.alpha, op.rotation = s.rotation, op.scale_x = s.scale_x, op.scale_y = s.scale_y;
    op.follows = display.record.following ? 1 : 0;
    return op;
}

Uint8 alpha_byte(float alpha) { return static_cast<Uint8>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255)); }
SDL_BlendMode sdl_blend(const DrawOp& op) { return op.blend == blend_light ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND; }
bool straight(const DrawOp& op) { return op.rotation == 0 && op.scale_x == 1 && op.scale_y == 1; }

// Pixel px shows image pixel px + shift: its centre lies inside that pixel, the same rule
// images_collide uses.
int first_pixel(float at, float handle) { return -static_cast<int>(std::floor(0.5 - (double(at) - handle))); }

// A pixel of a rectangle is filled when its centre lies inside it.
int edge(float v) { return static_cast<int>(std::floor(v + 0.5f)); }

CanvasView clipped_canvas(const SDL_Rect* clip)
{
    CanvasView view = canvas_view();
    if (clip != nullptr)
        view.clip_x0 = clip->x, view.clip_y0 = clip->y, view.clip_x1 = clip->x + clip->w,
        view.clip_y1 = clip->y + clip->h;
    return view;
}

void draw_image_op(const DrawOp& op, const SDL_Rect* clip)
{
    Image image = op.image;
    const Uint8 alpha = alpha_byte(op.alpha);
    if (display.canvas != nullptr && straight(op)) {
        const SDL_Rect cell = image_frame_rect(image, op.frame);
        const bool copy =
            op.blend == blend_alpha && alpha == 255 && image_opaque(image) && op.r == 255 && op.g == 255 && op.b == 255;
        canvas_blit(clipped_canvas(clip), image_argb(image) + cell.x, image_argb_pitch(image), cell.w, cell.h,
                    first_pixel(op.x, image_handle_x(image)), first_pixel(op.y, image_handle_y(image)), op.r, op.g,
                    op.b, alpha, op.blend == blend_light, copy);
        return;
    }
    if (display.canvas != nullptr) {
        const SDL_Rect cell = image_frame_rect(image, op.frame);
        canvas_blit_transformed(clipped_canvas(clip), image_argb(image) + cell.x, image_argb_pitch(image), cell.w,
                                cell.h, image_handle_x(image), image_handle_y(image), op.x, op.y, op.rotation,
                                op.scale_x, op.scale_y, op.r, op.g, op.b, alpha, op.blend == blend_light,
                                image_is_filtered(image));
        return;
    }
    SDL_Texture* texture = image_texture(image);
    if (texture == nullptr) return;
    SDL_SetTextureColorMod(texture, op.r, op.g, op.b);
    SDL_SetTextureAlphaMod(texture, alpha);
    // An opaque picture drawn at full alpha replaces what is under it: the same pixels as
    // blending, at the cost of a copy (the backgrounds, every frame).
    const bool plain_copy = op.blend == blend_alpha && alpha == 255 && image_opaque(image);
    SDL_SetTextureBlendMode(texture, plain_copy ? SDL_BLENDMODE_NONE : sdl_blend(op));
    const SDL_Rect source = image_frame_rect(image, op.frame);
    const float hx = image_handle_x(image), hy = image_handle_y(image);
    const float w = image_width(image) * std::fabs(op.scale_x), h = image_height(image) * std::fabs(op.scale_y);
    const float cx = hx * std::fabs(op.scale_x), cy = hy * std::fabs(op.scale_y);
    int flip_flags = SDL_FLIP_NONE;
    if (op.scale_x < 0) flip_flags |= SDL_FLIP_HORIZONTAL;
    if (op.scale_y < 0) flip_flags |= SDL_FLIP_VERTICAL;
    const SDL_FRect dest{op.x - cx, op.y - cy, w, h};
    const SDL_FPoint centre{cx, cy};
    if (op.rotation == 0 && flip_flags == SDL_FLIP_NONE) SDL_RenderCopyF(display.renderer, texture, &source, &dest);
    else
        SDL_RenderCopyExF(display.renderer, texture, &source, &dest, op.rotation, &centre,
                          static_cast<SDL_RendererFlip>(flip_flags));
}

void draw_rect_op(const DrawOp& op, const SDL_Rect* clip)
{
    const Uint8 alpha = alpha_byte(op.alpha);
    if (display.canvas != nullptr) {
        canvas_fill(clipped_canvas(clip), edge(op.x), edge(op.y), edge(op.x + op.x2), edge(op.y + op.y2), op.r, op.g,
                    op.b, alpha, op.blend == blend_light);
        return;
    }
    SDL_SetRenderDrawBlendMode(display.renderer, sdl_blend(op));
    SDL_SetRenderDrawColor(display.renderer, op.r, op.g, op.b, alpha);
    const SDL_FRect rect{op.x, op.y, op.x2, op.y2};
    SDL_RenderFillRectF(display.renderer, &rect);
}

void draw_line_op(const DrawOp& op)
{
    SDL_SetRenderDrawBlendMode(display.renderer, sdl_blend(op));
    SDL_SetRenderDrawColor(display.renderer, op.r, op.g, op.b, alpha_byte(op.alpha));
    SDL_RenderDrawLineF(display.renderer, op.x, op.y, op.x2, op.y2);
    // The last pixel is drawn on its own, so every backend includes it.
    if (op.last_pixel) SDL_RenderDrawPointF(display.renderer, op.x2, op.y2);
}

void clear_op(const SDL_Rect* clip)
{
    SDL_SetRenderDrawBlendMode(display.renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(display.renderer, 0, 0, 0, 255);
    if (clip == nullptr) {
        SDL_RenderClear(display.renderer);
        return;
    }
    if (display.canvas == nullptr) {
        SDL_RenderFillRect(display.renderer, clip);   // a clear would ignore the clip
        return;
    }
    const CanvasView view = canvas_view();
    for (int y = clip->y; y < clip->y + clip->h; ++y)
        std::fill_n(view.pixels + static_cast<std::ptrdiff_t>(y) * view.pitch_pixels + clip->x, clip->w, 0xFF000000u);
}

void clamp_box(DrawOp& op, double x0, double y0, double x1, double y1)
{
    // Through a GPU a picture's edge pixels may be touched by filtering: one pixel more all round.
    const int margin = display.canvas != nullptr ? 0 : 1;
    const auto at = [&](double v, int limit) { return static_cast<std::int16_t>(std::clamp(v, 0.0, double(limit))); };
    op.box_x0 = at(x0 - margin, screen_width), op.box_x1 = at(x1 + margin, screen_width);
    op.box_y0 = at(y0 - margin, screen_height), op.box_y1 = at(y1 + margin, screen_height);
}

}   // namespace

namespace display_detail {

void find_op_box(DrawOp& op)
{
    switch (op.kind) {
    case DrawOp::clear: clamp_box(op, 0, 0, screen_width, screen_height); return;
    case DrawOp::fill: {
        const int ax = edge(op.x), bx = edge(op.x + op.x2), ay = edge(op.y), by = edge(op.y + op.y2);
        clamp_box(op, std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by));
        return;
    }
    case DrawOp::line:
        clamp_box(op, std::floor(std::min(op.x, op.x2)) - 1, std::floor(std::min(op.y, op.y2)) - 1,
                  std::floor(std::max(op.x, op.x2)) + 2, std::floor(std::max(op.y, op.y2)) + 2);
        return;
    case DrawOp::blit: break;
    }
    const SDL_Rect cell = image_frame_rect(op.image, op.frame);
    const double hx = image_handle_x(op.image), hy = image_handle_y(op.image);
    if (display.canvas != nullptr && straight(op)) {
        const int left = first_pixel(op.x, image_handle_x(op.image)), top = first_pixel(op.y, image_handle_y(op.image));
        clamp_box(op, left, top, double(left) + cell.w, double(top) + cell.h);
        return;
    }
    // The placed picture's corners, as the turned blit finds them, and a pixel more each side.
    const double radians = op.rotation * 3.14159265358979323846 / 180.0, c = std::cos(radians), s = std::sin(radians);
    double min_x = 1e30, min_y = 1e30, max_x = -1e30, max_y = -1e30;
    for (const double cx : {0.0, double(cell.w)})
        for (const double cy : {0.0, double(cell.h)}) {
            const double ux = (cx - hx) * op.scale_x, uy = (cy - hy) * op.scale_y;
            const double px = op.x + c * ux - s * uy, py = op.y + s * ux + c * uy;
            min_x = std::min(min_x, px), max_x = std::max(max_x, px);
            min_y = std::min(min_y, py), max_y = std::max(max_y, py);
        }
    if (!(max_x - min_x < 1e6 && max_y - min_y < 1e6)) {   // absurd or not a number: anywhere
        clamp_box(op, 0, 0, screen_width, screen_height);
        return;
    }
    clamp_box(op, std::floor(min_x) - 2, std::floor(min_y) - 2, std::floor(max_x) + 3, std::floor(max_y) + 3);
}

void draw_op(const DrawOp& op, const SDL_Rect* clip)
{
    const DrawTimer timer;
    if (clip != nullptr && display.canvas == nullptr) SDL_RenderSetClipRect(display.renderer, clip);
    switch (op.kind) {
    case DrawOp::clear: clear_op(clip); break;
    case DrawOp::blit: draw_image_op(op, clip); break;
    case DrawOp::fill: draw_rect_op(op, clip); break;
    case DrawOp::line:
        if (clip != nullptr && display.canvas != nullptr) SDL_RenderSetClipRect(display.renderer, clip);
        draw_line_op(op);
        if (clip != nullptr && display.canvas != nullptr) SDL_RenderSetClipRect(display.renderer, nullptr);
        break;
    }
    if (clip != nullptr && display.canvas == nullptr) SDL_RenderSetClipRect(display.renderer, nullptr);
}

}   // namespace display_detail

void draw_image(Image image, float x, float y, int frame)
{
    if (image == nullptr || display.renderer == nullptr || !display.drawing) return;
    DrawOp op = op_of(DrawOp::blit);
    op.image = image, op.x = x, op.y = y, op.frame = frame;
    record_op(op);
}

void draw_rect(float x, float y, float width, float height)
{
    if (display.renderer == nullptr || !display.drawing) return;
    DrawOp op = op_of(DrawOp::fill);
    op.x = x, op.y = y, op.x2 = width, op.y2 = height;
    record_op(op);
}

void draw_line(float x1, float y1, float x2, float y2, int draw_last_pixel)
{
    if (display.renderer == nullptr || !display.drawing) return;
    DrawOp op = op_of(DrawOp::line);
    op.x = x1, op.y = y1, op.x2 = x2, op.y2 = y2, op.last_pixel = draw_last_pixel ? 1 : 0;
    record_op(op);
}

void grab_image(Image image, float x, float y, int frame)
{
    if (image == nullptr || display.renderer == nullptr) return;
    draw_pending_ops();
    display.record.pixels_read = true;
    image_changed(image);
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
