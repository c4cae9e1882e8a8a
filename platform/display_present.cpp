// SPDX-License-Identifier: GPL-3.0-or-later
// Presenting the picture: scaled into the window with its aspect kept (only the changed rows
// where it is shown at its own size), the frame paced, screenshots taken, and the flip that ends
// each frame.
#include "platform/display.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display_internal.h"
#include "platform/frame_stats.h"
#include "platform/input.h"
#include "platform/open_folder.h"
#include "platform/program.h"
#include "platform/render_internal.h"
#include "platform/trace.h"
#include "platform/window_fit.h"

using namespace display_detail;

namespace {

// 1000 / refresh in whole milliseconds, and what it leaves over.
int frame_ms() { return 1000 / display.refresh_hz; }
int frame_ms_remainder() { return 1000 % display.refresh_hz; }

void advance_target(Uint64& target, int& remainder)
{
    target += static_cast<Uint64>(frame_ms());
    remainder += frame_ms_remainder();
    if (remainder >= display.refresh_hz) {
        remainder -= display.refresh_hz;
        target += 1;
    }
}

// Rows first .. first + count - 1 of the picture changed since the window last showed it.
struct Band {
    int first = 0, count = 0;
};

// A surface whose pixels hold the picture's colours in the same bits, so rows compare as words.
bool same_layout(const SDL_Surface* surface)
{
    const SDL_PixelFormat* f = surface->format;
    return !SDL_MUSTLOCK(surface) && f->BytesPerPixel == 4 && f->Rmask == 0xFF0000u && f->Gmask == 0xFF00u &&
           f->Bmask == 0xFFu;
}

const std::uint32_t* shown_row(const SDL_Surface* surface, const SDL_Rect& box, int y)
{
    const auto* row =
        static_cast<const std::uint8_t*>(surface->pixels) + static_cast<std::size_t>(box.y + y) * surface->pitch;
    return reinterpret_cast<const std::uint32_t*>(row) + box.x;
}

// The alpha byte is left out: the window shows colours, and its surface may keep other bits there.
bool same_colours(const std::uint32_t* a, const std::uint32_t* b)
{
    std::uint32_t differ = 0;
    for (int x = 0; x < screen_width; ++x) differ |= a[x] ^ b[x];
    return (differ & 0xFFFFFFu) == 0;
}

// The bands of rows that differ from what the window shows. Only rows some op drew since the last
// present can differ; of those, a tile drawn again often gives the same pixels in most of its 16
// rows, and comparing them with the window's surface (which holds what the window shows, so no
// copy of it is kept) sends the X server about 40 % fewer rows in the menus and in play. Bands
// closer than a few rows are joined: one request to the X server costs more than a few unchanged
// rows.
std::vector<Band> changed_bands(const CanvasView& view, const SDL_Surface* surface, const SDL_Rect& box)
{
    constexpr int join_gap = 8;
    std::vector<Band> bands;
    const bool comparable = same_layout(surface);
    const std::vector<std::uint8_t>& dirty = display.record.dirty_rows;
    for (int y = 0; y < screen_height; ++y) {
        if (!dirty[y]) continue;
        if (comparable &&
            same_colours(view.pixels + static_cast<std::size_t>(y) * view.pitch_pixels, shown_row(surface, box, y)))
            continue;
        if (!bands.empty() && y - (bands.back().first + bands.back().count) <= join_gap)
            bands.back().count = y + 1 - bands.back().first;
        else
            bands.push_back(Band{y, 1});
    }
    return bands;
}

// The picture at its own size in a window whose surface already shows the last frame: only the
// rows that changed are copied and sent (in play, a small share of the screen), which takes
// both our time and the X server's off the way from the player's hand to the screen.
bool present_changed_rows(SDL_Surface* surface, const SDL_Rect& box)
{
    const Display::Shown& shown = display.shown;
    if (shown.surface != surface || shown.width != surface->w || shown.height != surface->h) return false;
    std::vector<SDL_Rect> rects;
    for (const Band& band : changed_bands(canvas_view(), surface, box)) {
        SDL_Rect from{0, band.first, screen_width, band.count};
        SDL_Rect into{box.x, box.y + band.first, screen_width, band.count};
        SDL_BlitSurface(display.canvas, &from, surface, &into);
        rects.push_back(SDL_Rect{box.x, box.y + band.first, screen_width, band.count});
    }
    if (!rects.empty()) SDL_UpdateWindowSurfaceRects(display.window, rects.data(), static_cast<int>(rects.size()));
    return true;
}

// Remembers that the surface shows the whole picture at its own size, or forgets it (enlarged).
void remember_shown(SDL_Surface* surface, bool own_size)
{
    display.shown = own_size ? Display::Shown{surface, surface->w, surface->h} : Display::Shown{};
}

// A software picture shown in the window through the window's own surface.
void present_canvas()
{
    SDL_Surface* surface = SDL_GetWindowSurface(display.window);
    if (surface == nullptr) return;
    SDL_RenderFlush(display.renderer);
    const PictureBox place = picture_box(surface->w, surface->h);
    const SDL_Rect box{place.x, place.y, place.w, place.h};
    const bool own_size = box.w == screen_width && box.h == screen_height;
    const bool changed_only = own_size && present_changed_rows(surface, box);
    std::fill(display.record.dirty_rows.begin(), display.record.dirty_rows.end(), std::uint8_t{0});
    if (changed_only) return;
    // Black bars where the picture leaves the window uncovered (none in an 800 x 600 window).
    if (box.w != surface->w || box.h != surface->h) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    blit_evenly(display.canvas, surface, box, display.enlarged_canvas);
    SDL_UpdateWindowSurface(display.window);
    remember_shown(surface, own_size);
}

// The GPU's counterpart of blit_evenly's scratch: a target texture the picture is enlarged into.
SDL_Texture* enlarged_target(int factor)
{
    SDL_Texture*& enlarged = display.enlarged_target;
    int w = 0, h = 0;
    if (enlarged != nullptr && SDL_QueryTexture(enlarged, nullptr, nullptr, &w, &h) == 0 &&
        (w != screen_width * factor || h != screen_height * factor)) {
        SDL_DestroyTexture(enlarged);
        enlarged = nullptr;
    }
    if (enlarged == nullptr) {
        enlarged = SDL_CreateTexture(display.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                     screen_width * factor, screen_height * factor);
        if (enlarged == nullptr) return nullptr;
        SDL_SetTextureScaleMode(enlarged, SDL_ScaleModeLinear);
        SDL_SetTextureBlendMode(enlarged, SDL_BLENDMODE_NONE);
    }
    return enlarged;
}

// Copies the picture into the window's box: nearest pixel up to the whole factor, linear beyond.
void copy_target_evenly(const SDL_Rect& box)
{
    const int factor = whole_scale(box.w, box.h);
    const bool whole = box.w == screen_width * factor && box.h == screen_height * factor;
    SDL_SetTextureScaleMode(display.target, whole || factor > 1 ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_Texture* enlarged = whole || factor == 1 ? nullptr : enlarged_target(factor);
    if (enlarged != nullptr) {
        SDL_SetRenderTarget(display.renderer, enlarged);
        SDL_SetRenderDrawColor(display.renderer, 0, 0, 0, 255);
        SDL_RenderClear(display.renderer);
        SDL_RenderCopy(display.renderer, display.target, nullptr, nullptr);
        SDL_SetRenderTarget(display.renderer, nullptr);
        SDL_RenderSetViewport(display.renderer, nullptr);
    }
    SDL_RenderCopy(display.renderer, enlarged != nullptr ? enlarged : display.target, nullptr, &box);
}

void pace_frame()
{
    if (virtual_clock_in_use()) {
        Uint64 now = static_cast<Uint64>(millisecs());
        Uint64 next = now;
        advance_target(next, display.pacing.remainder);
        advance_virtual_clock(static_cast<int>(next - now));
        return;
    }
    if (display.pacing.vsync) return;   // the present waits for the vertical blank
    advance_target(display.pacing.target, display.pacing.remainder);
    const Uint64 now = SDL_GetTicks64();
    // A late frame is not made up by shorter later ones: the target moves to the present.
    if (display.pacing.target <= now) display.pacing.target = now;
    else if (late_drawing_possible()) wait_drawing_pointer(display.pacing.target);
    else SDL_Delay(static_cast<Uint32>(display.pacing.target - now));
}

void take_screenshots()
{
    const auto range = display.screenshots.equal_range(display.flips);
    if (range.first == range.second) return;
    const Pixels picture = read_screen();
    for (auto it = range.first; it != range.second; ++it) {
        std::string why;
        if (!write_png(it->second, picture, &why)) report_write_failure(it->second, why);
    }
}

// The picture enlarged by a whole factor, kept between frames while the factor and the
// window's pixel format stay the same.
SDL_Surface* enlarged_surface(SDL_Surface*& enlarged, Uint32 format, int factor)
{
    if (enlarged != nullptr &&
        (enlarged->w != screen_width * factor || enlarged->h != screen_height * factor || enlarged->format->format != format)) {
        SDL_FreeSurface(enlarged);
        enlarged = nullptr;
    }
    if (enlarged == nullptr) {
        enlarged = SDL_CreateRGBSurfaceWithFormat(0, screen_width * factor, screen_height * factor, 32, format);
        if (enlarged != nullptr) SDL_SetSurfaceBlendMode(enlarged, SDL_BLENDMODE_NONE);
    }
    return enlarged;
}
}  // namespace

namespace display_detail {

// Presents the picture in the window: black bars around it, scaled with its aspect kept.
void present_target()
{
    if (display.window == nullptr) return;
    if (display.canvas != nullptr) {
        present_canvas();
        return;
    }
    SDL_SetRenderTarget(display.renderer, nullptr);
    // The window may have changed size (full screen, Alt+Enter) while the picture was the
    // target: draw to the whole window as it is now.
    SDL_RenderSetViewport(display.renderer, nullptr);
    SDL_SetRenderDrawColor(display.renderer, 0, 0, 0, 255);
    SDL_RenderClear(display.renderer);
    int width = 1, height = 1;
    output_size(width, height);
    const PictureBox place = picture_box(width, height);
    copy_target_evenly(SDL_Rect{place.x, place.y, place.w, place.h});
    SDL_RenderPresent(display.renderer);
    SDL_SetRenderTarget(display.renderer, display.target);
}

// Does the display really run at the requested rate? Three presents in a row of 1000/60 ms
// (within a millisecond) say yes; anything else within a second says no.
bool calibrate_vsync()
{
    if (SDL_RenderSetVSync(display.renderer, 1) != 0) return false;
    const Uint64 start = SDL_GetTicks64();
    Uint64 last = start;
    int good = 0;
    while (SDL_GetTicks64() - start < 1000) {
        pump_events();
        SDL_SetRenderDrawColor(display.renderer, 0, 0, 0, 255);
        SDL_RenderClear(display.renderer);
        SDL_RenderPresent(display.renderer);
        const Uint64 now = SDL_GetTicks64();
        const long long took = static_cast<long long>(now - last);
        last = now;
        good = std::llabs(took - frame_ms()) <= 1 ? good + 1 : 0;
        if (good >= 3) return true;
    }
    SDL_RenderSetVSync(display.renderer, 0);
    return false;
}

}  // namespace display_detail

void blit_evenly(SDL_Surface* picture, SDL_Surface* surface, const SDL_Rect& box, SDL_Surface*& enlarged)
{
    SDL_Rect place = box;
    const int factor = whole_scale(box.w, box.h);
    if (box.w == screen_width * factor && box.h == screen_height * factor) {
        // A whole multiple (or the picture's own size): the nearest pixel alone.
        if (factor == 1) SDL_BlitSurface(picture, nullptr, surface, &place);
        else SDL_BlitScaled(picture, nullptr, surface, &place);
        return;
    }
    SDL_Surface* scratch = enlarged_surface(enlarged, surface->format->format, factor);
    if (scratch != nullptr && SDL_BlitScaled(picture, nullptr, scratch, nullptr) == 0 &&
        SDL_SoftStretchLinear(scratch, nullptr, surface, &place) == 0)
        return;
    SDL_BlitScaled(picture, nullptr, surface, &place);   // a pixel format it cannot smooth
}

void flip(int /*sync*/)
{
    if (display.renderer == nullptr) return;
    finish_frame_drawing();
    take_screenshots();
    frame_stats_frame_done();
    // Shown as soon as it is drawn; the wait for the next frame's time comes after, and the
    // input is read only then, so what the player does reaches the screen within a frame.
    // A replay watched fast shows only some frames and waits for none of the others.
    if (display.presenting) {
        const bool waited = latch_pointer_before_present();
        present_target();
        frame_presented(waited);
    }
    frame_stats_presented(display.window != nullptr);
    if (display.presenting) pace_frame();
    audio_advance_frame();   // mixes a frame itself only where no device plays, so channels still end
    display.flips += 1;
    trace_frame(display.flips);
    pump_events();
    reap_folder_openers();
    update_pointer_confinement();
    check_termination_request();
    if (display.frame_limit >= 0 && display.flips >= display.frame_limit) end_program(0);
    begin_input_frame(display.flips);
    frame_stats_input_read();
}

Pixels read_screen()
{
    Pixels pixels;
    pixels.width = screen_width;
    pixels.height = screen_height;
    pixels.rgba.assign(static_cast<std::size_t>(screen_width) * screen_height * 4, 0);
    draw_pending_ops();
    if (display.canvas != nullptr) {
        const CanvasView view = canvas_view();
        SDL_ConvertPixels(screen_width, screen_height, SDL_PIXELFORMAT_ARGB8888, view.pixels, view.pitch_pixels * 4,
                          SDL_PIXELFORMAT_ABGR8888, pixels.rgba.data(), screen_width * 4);
    } else if (display.renderer != nullptr) {
        SDL_RenderReadPixels(display.renderer, nullptr, SDL_PIXELFORMAT_ABGR8888, pixels.rgba.data(), screen_width * 4);
    }
    // The picture is opaque: whatever alpha the target holds, a screenshot shows what is seen.
    for (std::size_t i = 3; i < pixels.rgba.size(); i += 4) pixels.rgba[i] = 255;
    return pixels;
}
