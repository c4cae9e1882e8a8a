// SPDX-License-Identifier: GPL-3.0-or-later
// The display: an 800 x 600 picture drawn into an off-screen target and presented scaled with
// its aspect kept, in a window, full screen at the desktop's resolution, or nowhere (headless).
#pragma once

#include <string>
#include <string_view>

#include "platform/image.h"

constexpr int screen_width = 800;
constexpr int screen_height = 600;

// Blend modes as the game numbers them; only alpha and light are used.
constexpr int blend_alpha = 3;   // destination = source x alpha + destination x (1 - alpha)
constexpr int blend_light = 4;   // destination = source x alpha + destination (additive glow)

struct DisplayOptions {
    bool headless = false;   // no window, no audio device, a virtual clock
    // The command line chose the window mode for this run; otherwise the window opens as the
    // player last left it (full screen the first time).
    bool mode_given = false;
    bool fullscreen = true;  // full screen at the desktop's resolution, without a mode switch
    int scale = 1;           // window size as a multiple of 800 x 600, at most what the desktop fits
    bool software = false;   // draw in software even where a GPU renderer exists
    bool force_gpu = false;  // draw through the GPU renderer even where the CPU emulates it
    // Headless only: draw into textures through a renderer, as a GPU does, instead of straight
    // into the picture (tests run the GPU's drawing path without a GPU).
    bool textures = false;
};

void set_display_options(const DisplayOptions& options);
const DisplayOptions& display_options();
void set_window_title(std::string_view title);
// Opens the display once (the game passes 800, 600, 32, 60, 0); a failure stops the program
// with SDL's error text.
void open_display(int width, int height, int depth, int refresh_hz, int flags);
bool display_open();
// Remembers the window's mode and size for the next run (nothing headless); called on the way out.
void close_display();
// The pointer is held inside the window or screen only while a game is played; prompts and a
// lost focus free it whatever this says.
// Full screen or a window, as Alt+Enter switches them (nothing headless).
bool window_fullscreen();
void set_window_fullscreen(bool fullscreen);
void confine_pointer(bool confine);
bool pointer_confined();
// Tests, benchmarks and tools: the headless 800 x 600 display and the headless mixer, once.
void open_offscreen_display(bool textures = false);
void hide_pointer();
void set_mask_color(int r, int g, int b);
void clear_screen();
// Presents the frame: with sync -1, paced to the rate given to open_display.
void flip(int sync);
// Number of flips so far; the first flip is flip 0.
long long flip_count();
// Saves the picture presented by flip n (flips counted from 0) as a PNG file.
void request_screenshot(long long flip, std::string path);
// The picture drawn so far in this frame.
Pixels read_screen();
// A message box where a display is possible, standard error always.
void show_error_message(const std::string& title, const std::string& message);

// Drawing state: global, persistent until changed.
void set_color(int r, int g, int b);
void set_alpha(float alpha);
void set_blend(int mode);
void set_rotation(float degrees);
void set_scale(float sx, float sy);
int current_blend();
float current_alpha();
float current_rotation();
float current_scale_x();
float current_scale_y();

void draw_image(Image image, float x, float y, int frame);
void draw_rect(float x, float y, float width, float height);
void draw_line(float x1, float y1, float x2, float y2, int draw_last_pixel);
// Copies the picture drawn so far at (x, y), the image's size, into that frame of the image.
void grab_image(Image image, float x, float y, int frame);

// Between two frames a window shows what follows the player's pointer (the paddle in a game, the
// pointer in the menus) where the pointer is now, well before the next frame draws it there.
// What is drawn between these two calls is that: moved along x (and y with along_y) by the
// pointer's move since the frame read it, held inside the range the frame holds the pointer to.
// The frames themselves, and so runs and replays, are not changed by it.
struct PointerFollow {
    bool along_y = false;
    int min_x = 0, max_x = screen_width - 1;
    int min_y = 0, max_y = screen_height - 1;
};
void begin_following_pointer(const PointerFollow& follow);
void end_following_pointer();

// Benchmarks of the logic alone: with drawing off every drawing operation does nothing.
void set_drawing_enabled(bool enabled);
bool drawing_enabled();
// A replay watched fast: flips count frames and take input as always, but present nothing and
// wait for nothing while presenting is off.
void set_presenting(bool presenting);

// Headless and scripted runs: the run ends through the exit path after this many flips.
void set_frame_limit(long long flips);
