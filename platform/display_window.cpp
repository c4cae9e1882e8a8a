// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the display: the window and its renderer (the GPU's where it is worth it, our software
// picture otherwise), or a headless picture; and the error message shown where a player sees it.
#include "platform/display.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/display_internal.h"
#include "platform/embedded_files.h"
#include "platform/input.h"
#include "platform/pad.h"
#include "platform/render_internal.h"
#include "platform/touch.h"
#include "platform/window_fit.h"
#include "platform/window_settings.h"

using namespace display_detail;

namespace display_detail {

// The size of what the player sees, in pixels. Not the renderer's output size: while the picture
// is the render target (all but the moment of presenting) that is the picture's own 800 x 600, and
// a full-screen pointer would be mapped across the whole screen.
void output_size(int& width, int& height)
{
    width = height = 1;
    if (display.window != nullptr) SDL_GetWindowSizeInPixels(display.window, &width, &height);
}

}  // namespace display_detail

namespace {

void open_canvas()
{
    display.canvas = SDL_CreateRGBSurfaceWithFormat(0, screen_width, screen_height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (display.canvas == nullptr)
        platform_fatal(std::string("kalventor: cannot create the off-screen picture: ") + SDL_GetError());
    // The picture is opaque: shown in a window it is copied, not alpha-blended pixel by pixel
    // (two fifths of a frame).
    SDL_SetSurfaceBlendMode(display.canvas, SDL_BLENDMODE_NONE);
    display.renderer = SDL_CreateSoftwareRenderer(display.canvas);
}

void open_headless()
{
    use_virtual_clock(true);
    if (!display.options.textures) {
        open_canvas();
        return;
    }
    display.texture_host = SDL_CreateRGBSurfaceWithFormat(0, screen_width, screen_height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (display.texture_host == nullptr)
        platform_fatal(std::string("kalventor: cannot create the off-screen picture: ") + SDL_GetError());
    display.renderer = SDL_CreateSoftwareRenderer(display.texture_host);
}

// An OpenGL renderer that the CPU emulates (Mesa's llvmpipe, softpipe or swrast, as on a machine
// without a GPU driver or under a virtual X server) draws our hundreds of small pictures a frame
// several times slower than our own software drawing does.
bool renderer_is_emulated()
{
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(display.renderer, &info) != 0 || info.name == nullptr ||
        std::string_view(info.name).rfind("opengl", 0) != 0)
        return false;
    using GetString = const unsigned char* (*)(unsigned int);
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (get_string == nullptr) return false;
    constexpr unsigned int gl_renderer = 0x1F01;
    const unsigned char* name = get_string(gl_renderer);
    if (name == nullptr) return false;
    const std::string_view text(reinterpret_cast<const char*>(name));
    return text.find("llvmpipe") != text.npos || text.find("softpipe") != text.npos ||
           text.find("Software Rasterizer") != text.npos;
}

// A GPU the system can drive shows up as a device node: a DRM device (Mesa's drivers, and
// NVIDIA's with its DRM module) or NVIDIA's own. Without one every OpenGL renderer is emulated,
// and merely trying one loads an OpenGL library of some 60 MiB.
bool gpu_device_present()
{
    std::error_code error;
    const bool dri = std::filesystem::is_directory("/dev/dri", error) && !std::filesystem::is_empty("/dev/dri", error);
    return dri || std::filesystem::exists("/dev/nvidia0", error);
}

// The window's mode and size: the command line's for this run, else as the player last left
// it, else full screen; a window never larger than the desktop's usable area.
WindowSettings choose_window()
{
    WindowSettings chosen = load_window_settings().value_or(WindowSettings{});
    const DisplayOptions& o = display.options;
    if (o.mode_given) chosen.fullscreen = o.fullscreen;   // --fullscreen keeps the saved window size
    SDL_Rect usable{0, 0, 0, 0};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return chosen;
    if (o.mode_given && !o.fullscreen) {
        const int scale = fitting_scale(o.scale, usable.w, usable.h);
        if (scale < o.scale)
            std::fprintf(stderr, "kalventor: --scale %d does not fit the desktop's %d x %d; using --scale %d\n",
                         o.scale, usable.w, usable.h, scale);
        chosen.width = screen_width * scale, chosen.height = screen_height * scale;
    }
    chosen.width = std::min(chosen.width, usable.w);
    chosen.height = std::min(chosen.height, usable.h);
    return chosen;
}

// The game's own icon, for the window manager's task switcher and title bar.
void set_window_icon()
{
    const auto bytes = find_embedded_file("icons\\64x64\\kalventor.png");
    Pixels icon;
    std::string error;
    if (bytes.empty() || !decode_picture(bytes, icon, error)) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.rgba.data(), icon.width, icon.height, 32,
                                                              icon.width * 4, SDL_PIXELFORMAT_ABGR8888);
    if (surface == nullptr) return;
    SDL_SetWindowIcon(display.window, surface);
    SDL_FreeSurface(surface);
}

// The GPU renderer is tried where the machine has a GPU, or --gpu insists.
bool gpu_wanted()
{
    const DisplayOptions& o = display.options;
    return o.force_gpu || (!o.software && gpu_device_present());
}

void open_renderer()
{
    // The GPU where the machine has one, our software picture otherwise; --gpu insists on the GPU
    // renderer even where the CPU emulates it (tests compare it with the software picture).
    const DisplayOptions& o = display.options;
    if (gpu_wanted())
        display.renderer = SDL_CreateRenderer(display.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (o.force_gpu && display.renderer == nullptr)
        platform_fatal(std::string("kalventor: --gpu: no GPU renderer: ") + SDL_GetError());
    if (!o.force_gpu && display.renderer != nullptr && renderer_is_emulated()) {
        SDL_DestroyRenderer(display.renderer);
        display.renderer = nullptr;
    }
    if (display.renderer == nullptr) {
        // The window's own surface, without a GPU renderer behind it: SDL would otherwise bring one
        // up (and an OpenGL library of some 60 MiB) just to show our picture.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        open_canvas();
    }
}

void open_window()
{
    // Opening X's input method parses the locale's whole table of composed characters (a
    // third of the time to the first window). The game reads keys, never composed text, so
    // unless the player named a table of their own it is given an empty one.
    setenv("XCOMPOSEFILE", "/dev/null", 0);
    keep_touch_apart_from_mouse();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        platform_fatal(std::string("kalventor: cannot open the display: ") + SDL_GetError());
    // Without a desktop SDL falls back to drawing nowhere: the game would run unseen and unheard
    // until killed. Only --headless (or a driver the player names) means that.
    const std::string_view driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if ((driver == "offscreen" || driver == "dummy") && std::getenv("SDL_VIDEODRIVER") == nullptr)
        platform_fatal("kalventor: cannot open the display: no X11 or Wayland display (DISPLAY and WAYLAND_DISPLAY "
                       "are not set); --headless runs without one");
    const WindowSettings chosen = choose_window();
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE;
    if (chosen.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    // Made for OpenGL from the start where the GPU renderer will be tried: SDL would otherwise
    // destroy the window and make another, and the player would see it open twice.
    if (gpu_wanted()) flags |= SDL_WINDOW_OPENGL;
    display.window = SDL_CreateWindow(display.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                      chosen.width, chosen.height, flags);
    if (display.window == nullptr)
        platform_fatal(std::string("kalventor: cannot open a window: ") + SDL_GetError());
    // Half the picture: smaller, its letters can no longer be read.
    SDL_SetWindowMinimumSize(display.window, screen_width / 2, screen_height / 2);
    open_pads();
    display.fullscreen = chosen.fullscreen;
    display.window_w = chosen.width, display.window_h = chosen.height;
    set_window_icon();
    open_renderer();
}

}  // namespace

void platform_fatal(const std::string& message)
{
    show_error_message("Kalventor", message);
    std::exit(1);
}

void open_display(int width, int height, int /*depth*/, int refresh_hz, int /*flags*/)
{
    display.refresh_hz = refresh_hz > 0 ? refresh_hz : 60;
    display.pacing.latch.period_us = 1000000 / display.refresh_hz;
    if (display.options.headless) open_headless();
    else open_window();
    if (display.renderer == nullptr)
        platform_fatal(std::string("kalventor: cannot create a renderer: ") + SDL_GetError());
    if (display.canvas == nullptr) {
        display.target = SDL_CreateTexture(display.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                           width, height);
        if (display.target == nullptr)
            platform_fatal(std::string("kalventor: cannot create the screen picture: ") + SDL_GetError());
        SDL_SetTextureScaleMode(display.target, SDL_ScaleModeLinear);
        SDL_SetRenderTarget(display.renderer, display.target);
        if (display.window != nullptr) display.pacing.vsync = calibrate_vsync();
        SDL_SetRenderTarget(display.renderer, display.target);
    }
    display.pacing.target = SDL_GetTicks64();
    clear_screen();
    begin_input_frame(0);
}

void close_display()
{
    if (display.window == nullptr) return;
    save_window_settings(WindowSettings{display.fullscreen, display.window_w, display.window_h});
}

void open_offscreen_display(bool textures)
{
    if (display_open()) return;
    DisplayOptions options;
    options.headless = true;
    options.textures = textures;
    set_display_options(options);
    use_virtual_clock(true);
    audio_open(AudioOutput::headless);
    open_display(screen_width, screen_height, 32, 60, 0);
}

void show_error_message(const std::string& title, const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    // A message box too where a player could see one: not headless, and a desktop to show it on.
    const bool desktop = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    if (!display.options.headless && desktop)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), display.window);
}
