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

namespace display_detail {

struct DrawState {
    int r = 255, g = 255, b = 255;
    float alpha = 1;
    int blend = blend_alpha;
    float rotation = 0;
    float scale_x = 1, scale_y = 1;
};

struct Pacing {
    bool vsync = false;
    Uint64 target = 0;      // when the next frame is due, in milliseconds
    int remainder = 0;      // the 40/60 ms that 1000/60 leaves over, accumulated
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
    // What the window shows of the software picture, when shown at its own size: a frame sends
    // the X server only the rows that differ from it.
    struct Shown {
        SDL_Surface* surface = nullptr;
        int width = 0, height = 0;
        std::vector<std::uint32_t> pixels;
    } shown;
};

extern Display display;

// display.cpp: the software picture as pixels, with what the renderer queued drawn first.
CanvasView canvas_view();

// display_window.cpp: the window's size in pixels (1 x 1 without a window).
void output_size(int& width, int& height);

// display_present.cpp
void present_target();
bool calibrate_vsync();

// display_events.cpp
void pump_events();
void update_pointer_confinement(bool prompt_waiting = false);

}  // namespace display_detail
