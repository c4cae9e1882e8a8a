// SPDX-License-Identifier: GPL-3.0-or-later
// Shared between the display's own files only (display*.cpp): its one state, and the steps one
// job takes for another (opening calibrates the pacing, presenting pumps the events, an uncovered
// window is presented again, ...).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/display.h"
#include "platform/vsync_latch.h"

namespace display_detail {

struct DrawState {
    int r = 255, g = 255, b = 255;
    float alpha = 1;
    int blend = blend_alpha;
    float rotation = 0;
    float scale_x = 1, scale_y = 1;
};

// One drawing operation as the frame recorded it: enough to draw it again, whole or within a
// clip, shifted with the pointer, and to tell whether the next frame draws the very same. Laid out
// without padding and compared bytewise, so that two ops are the same only when every float is.
struct DrawOp {
    enum Kind : std::uint8_t { clear, blit, fill, line };
    Image image = nullptr;
    float x = 0, y = 0, x2 = 0, y2 = 0;   // image: its place; rect: place and size; line: both ends
    float alpha = 1, rotation = 0, scale_x = 1, scale_y = 1;
    std::int32_t frame = 0;
    std::uint32_t image_version = 0;   // a grab changes an image's pixels: its ops differ after it
    std::uint8_t r = 255, g = 255, b = 255, blend = 0;
    std::uint8_t kind = clear, follows = 0, last_pixel = 0, unused = 0;
    // The pixels it may touch, [box_x0, box_x1) x [box_y0, box_y1), within the screen.
    std::int16_t box_x0 = 0, box_y0 = 0, box_x1 = 0, box_y1 = 0;
};

// An op touching a tile, and how many ops covering the whole screen came before it: those are
// kept once for all tiles (the clear, a background, a veil), not once in each of them.
struct TileEntry {
    std::uint32_t op;
    std::uint32_t covers_before;
};

// The frame's drawing, recorded. Drawn in software it is drawn at the flip, and only where it
// differs from the frame before (tiles whose ops differ); a still menu costs little more than its
// logic. The last frame's record also lets the window show the pointer's things moved before
// the next frame (display_late.cpp).
struct Drawing {
    std::vector<DrawOp> ops;    // this frame's so far
    std::size_t drawn = 0;      // how many of them are on the picture already
    bool pixels_read = false;   // a grab this frame: the frame cannot be drawn again later
    bool following = false;     // between begin_ and end_following_pointer
    PointerFollow follow;
    int follow_x = 0, follow_y = 0;   // the pointer the following ops were drawn for
    bool has_follow = false;
    std::vector<std::vector<TileEntry>> tiles;   // per tile, the ops touching it, in order
    std::vector<std::uint32_t> covering;         // ops touching every tile

    // The frame on the picture now.
    std::vector<DrawOp> last_ops;
    std::vector<std::vector<TileEntry>> last_tiles;
    std::vector<std::uint32_t> last_covering;
    bool last_valid = false;        // the picture is last_ops drawn from black (but for moved tiles)
    bool last_redrawable = false;   // and may be drawn again, in part
    PointerFollow last_follow;
    int last_follow_x = 0, last_follow_y = 0;
    bool last_has_follow = false;
    int moved_dx = 0, moved_dy = 0;    // where the following ops are shown now, from their frame
    std::vector<std::uint8_t> moved;   // per tile: shows them moved
    bool any_moved = false;
    std::vector<std::uint8_t> dirty_rows = std::vector<std::uint8_t>(screen_height, 1);   // since presented
    std::vector<std::pair<Image, std::uint32_t>> versions;                                // grabbed images
};

struct Pacing {
    bool vsync = false;
    Uint64 target = 0;      // when the next frame is due, in milliseconds
    int remainder = 0;      // the 40/60 ms that 1000/60 leaves over, accumulated
    VsyncLatch latch;
    Uint64 late_present_us = 0;   // what the last picture between frames took to draw and present
};

struct Display {
    DisplayOptions options;
    std::string title = "Kalventor";
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    // Software drawing (headless, or a window without a GPU) goes straight into this picture;
    // with a GPU everything is drawn into the target texture instead.
    SDL_Surface* canvas = nullptr;
    SDL_Texture* target = nullptr;
    SDL_Surface* texture_host = nullptr;   // headless drawing into textures: the renderer's output
    int refresh_hz = 60;
    DrawState state;
    Pacing pacing;
    long long flips = 0;
    long long frame_limit = -1;
    bool presenting = true;
    std::multimap<long long, std::string> screenshots;
    bool fullscreen = false;
    bool drawing = true;
    // The window's size when not full screen, remembered for the next run.
    int window_w = screen_width, window_h = screen_height;
    // The pointer is held inside the window only while a game is played, and never while a
    // prompt waits or another window has the focus.
    bool confine_wanted = false;
    bool confined = false;
    bool cursor_shown = false;                // the desktop's pointer, shown only while a prompt waits
    bool was_maximised = false;               // before the last switch to full screen
    bool pointer_back_after_resize = false;   // after that switch, or the switch back
    // Where the picture is enlarged by a whole factor before the remainder is smoothed.
    SDL_Surface* enlarged_canvas = nullptr;
    SDL_Texture* enlarged_target = nullptr;
    // The window's surface while it holds the whole software picture at its own size: a frame
    // then sends the X server only the rows that differ from it. No surface: the whole picture.
    struct Shown {
        SDL_Surface* surface = nullptr;
        int width = 0, height = 0;
    } shown;
    Drawing record;
    // Events taken off SDL's queue while waiting between frames, for the next pump.
    std::vector<SDL_Event> held_events;
};

extern Display display;

// display.cpp: the software picture as pixels, with what the renderer queued drawn first.
CanvasView canvas_view();

// display_window.cpp: the window's size in pixels (1 x 1 without a window).
void output_size(int& width, int& height);

// display_present.cpp
void present_target();
bool calibrate_vsync();

// display_list.cpp
constexpr int tile_size = 16;
constexpr int tile_columns = (screen_width + tile_size - 1) / tile_size;
constexpr int tile_rows = (screen_height + tile_size - 1) / tile_size;
// Records an op (its box, the image's version filled in here); drawn at once through a GPU.
void record_op(DrawOp op);
// What is recorded but not drawn yet, drawn whole: before anything reads the picture.
void draw_pending_ops();
// The flip: the frame drawn (in software only where it changed), kept as the last frame.
void finish_frame_drawing();
// Draws the ops again within the rectangles, those that follow the pointer shifted.
void draw_ops_within(const std::vector<DrawOp>& ops, const std::vector<SDL_Rect>& rects, int dx, int dy);
std::uint32_t image_version(Image image);
void image_changed(Image image);

// display_draw.cpp: one op drawn, within a clip or whole.
void draw_op(const DrawOp& op, const SDL_Rect* clip);
void find_op_box(DrawOp& op);

// display_late.cpp: waits for the next frame's time, showing meanwhile what follows the pointer
// where the pointer is.
void wait_drawing_pointer(Uint64 until_ms);
bool late_drawing_possible();
// Draws the last frame again where the following ops were and will be, them shifted to the
// pointer at (x, y), without presenting; false when they would not move.
bool draw_following_at(int x, int y);
// Just before a frame's present: what follows the pointer drawn where the pointer is now (with
// vertical sync after waiting for its moves until shortly before the blank). True when it waited.
bool latch_pointer_before_present();
// After the frame's own present: the vertical blank it met, for the next frame's wait.
void frame_presented(bool waited);

// display_events.cpp
void pump_events();
// Waits until the time (milliseconds) for events, keeping them for the next pump in their order;
// true when the mouse moved, with its newest place in the picture.
bool hold_events_until(Uint64 until_ms, int& x, int& y);
// The same for the events already come, without waiting.
bool hold_queued_events(int& x, int& y);
void update_pointer_confinement(bool prompt_waiting = false);

}  // namespace display_detail
