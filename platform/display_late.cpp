// SPDX-License-Identifier: GPL-3.0-or-later
// Between two frames, the paddle (in a game) or the pointer (in the menus) shown where the mouse
// is now. The frame-locked game reads the mouse once a frame, so a move waited half a frame on
// average before anything on the screen answered it. While `flip` waits for the next frame's
// time, a mouse move draws the last frame again within the rows it touches, with what follows
// the pointer moved along, and presents those rows at once; the next frame then takes the move
// as it always did. Frames, records and replays never see any of it.
//
// With vertical sync a present between frames would wait for the next blank and hold the game
// back a refresh. There the frame's own present shows the move: the drawn frame waits for the
// mouse until shortly before its blank, then draws what follows the pointer where the pointer is.
// Every frame also takes, just before its present, the moves that came while it was drawn: an
// emulated GPU spends most of a frame presenting and may never wait between frames.
#include <SDL.h>

#include <algorithm>

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/display_internal.h"
#include "platform/input.h"
#include "platform/trace.h"

using namespace display_detail;

namespace {

// Presents no more often than this: a mouse sends up to a thousand moves a second.
constexpr Uint64 least_apart_us = 2000;

void mark_box_tiles(const DrawOp& op, std::vector<std::uint8_t>& tiles)
{
    if (op.box_x0 >= op.box_x1 || op.box_y0 >= op.box_y1) return;
    for (int ty = op.box_y0 / tile_size; ty <= (op.box_y1 - 1) / tile_size; ++ty)
        for (int tx = op.box_x0 / tile_size; tx <= (op.box_x1 - 1) / tile_size; ++tx) tiles[ty * tile_columns + tx] = 1;
}

// The tiles the following ops touch when shifted by (dx, dy).
void mark_following(int dx, int dy, std::vector<std::uint8_t>& tiles)
{
    for (DrawOp op : display.record.last_ops) {
        if (!op.follows) continue;
        op.x += static_cast<float>(dx), op.y += static_cast<float>(dy);
        op.x2 += op.kind == DrawOp::line ? static_cast<float>(dx) : 0.0f;
        op.y2 += op.kind == DrawOp::line ? static_cast<float>(dy) : 0.0f;
        find_op_box(op);
        mark_box_tiles(op, tiles);
    }
}

Uint64 microseconds()
{
    // In two steps: the counter times a million overflows after a few hours at a nanosecond rate.
    const Uint64 counter = SDL_GetPerformanceCounter(), rate = SDL_GetPerformanceFrequency();
    return counter / rate * 1000000 + counter % rate * 1000000 / rate;
}

// Drawn and presented between frames; what it took, so that none starts too late to end before
// the next frame is due.
bool show_following_at(int x, int y)
{
    const Uint64 start = microseconds();
    if (!draw_following_at(x, y)) return false;
    present_target();
    display.pacing.late_present_us = microseconds() - start;
    return true;
}

// Waits, with vertical sync, until the latch's deadline, holding the window's events; true when
// the mouse moved meanwhile, with its newest place.
bool wait_for_moves(Uint64 deadline_us, int& x, int& y)
{
    bool moved = false;
    // In whole milliseconds: the wait ends up to a millisecond early, never late.
    for (Uint64 now = microseconds(); now + 1000 <= deadline_us; now = microseconds()) {
        int at_x = 0, at_y = 0;
        if (hold_events_until(SDL_GetTicks64() + (deadline_us - now) / 1000, at_x, at_y))
            moved = true, x = at_x, y = at_y;
    }
    return hold_queued_events(x, y) || moved;
}

}   // namespace

namespace display_detail {

bool draw_following_at(int x, int y)
{
    Drawing& d = display.record;
    const PointerFollow& f = d.last_follow;
    const int dx = std::clamp(x, f.min_x, std::max(f.min_x, f.max_x)) - d.last_follow_x;
    const int dy = f.along_y ? std::clamp(y, f.min_y, std::max(f.min_y, f.max_y)) - d.last_follow_y : 0;
    if (dx == d.moved_dx && dy == d.moved_dy) return false;
    std::vector<std::uint8_t> region(tile_columns * tile_rows, 0);
    mark_following(d.moved_dx, d.moved_dy, region);
    mark_following(dx, dy, region);
    std::vector<SDL_Rect> rects;
    for (int ty = 0; ty < tile_rows; ++ty)
        for (int tx = 0; tx < tile_columns; ++tx) {
            if (!region[ty * tile_columns + tx]) continue;
            const SDL_Rect r{tx * tile_size, ty * tile_size, std::min(tile_size, screen_width - tx * tile_size),
                             std::min(tile_size, screen_height - ty * tile_size)};
            // Along a row, neighbours join: the paddle's band is one rectangle.
            if (!rects.empty() && rects.back().y == r.y && rects.back().x + rects.back().w == r.x)
                rects.back().w += r.w;
            else rects.push_back(r);
            d.moved[ty * tile_columns + tx] = 1;
        }
    draw_ops_within(d.last_ops, rects, dx, dy);
    d.moved_dx = dx, d.moved_dy = dy;
    d.any_moved = true;
    return true;
}

bool late_drawing_possible()
{
    const Drawing& d = display.record;
    return display.window != nullptr && display.presenting && d.last_redrawable && d.last_has_follow &&
           !d.moved.empty() && device_drives_pointer() && !virtual_clock_in_use();
}

void wait_drawing_pointer(Uint64 until_ms)
{
    Uint64 next_allowed = 0;
    bool move_waiting = false, drew = false;
    int x = 0, y = 0;
    while (SDL_GetTicks64() < until_ms) {
        Uint64 wait_until = until_ms;
        if (move_waiting) {
            const Uint64 now = microseconds();
            if (now < next_allowed)
                wait_until = std::min(until_ms, SDL_GetTicks64() + (next_allowed - now + 999) / 1000);
        }
        int at_x = 0, at_y = 0;
        if (hold_events_until(wait_until, at_x, at_y)) move_waiting = true, x = at_x, y = at_y;
        if (!move_waiting || microseconds() < next_allowed || SDL_GetTicks64() >= until_ms) continue;
        // Too late to show before the frame is due: the frame itself shows it.
        if (SDL_GetTicks64() * 1000 + display.pacing.late_present_us >= until_ms * 1000) continue;
        drew = show_following_at(x, y) || drew;
        move_waiting = false;
        next_allowed = microseconds() + least_apart_us;
    }
    if (drew) trace("pointer drawn between frames");
}

bool latch_pointer_before_present()
{
    if (!late_drawing_possible()) return false;
    int x = 0, y = 0;
    bool moved = false, waited = false;
    const auto deadline = display.pacing.vsync
                              ? vsync_latch_deadline(display.pacing.latch, static_cast<std::int64_t>(microseconds()))
                              : -1;
    if (deadline >= 0) {
        // What was drawn goes to the GPU now, so that it is done by the blank.
        SDL_RenderFlush(display.renderer);
        moved = wait_for_moves(static_cast<Uint64>(deadline), x, y);
        waited = true;
    } else {
        moved = hold_queued_events(x, y);
    }
    if (moved && draw_following_at(x, y)) trace("pointer drawn into its frame");
    return waited;
}

void frame_presented(bool waited)
{
    if (display.pacing.vsync)
        vsync_present_done(display.pacing.latch, static_cast<std::int64_t>(microseconds()), waited);
}

}   // namespace display_detail
