// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/display.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include "platform/audio.h"
#include "platform/canvas.h"
#include "platform/frame_stats.h"
#include "platform/clock.h"
#include "platform/embedded_files.h"
#include "platform/device_script.h"
#include "platform/input.h"
#include "platform/input_platform.h"
#include "platform/pad.h"
#include "platform/pointer_devices.h"
#include "platform/program.h"
#include "platform/render_internal.h"
#include "platform/touch.h"
#include "platform/trace.h"
#include "platform/window_fit.h"
#include "platform/window_settings.h"

namespace {

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

Display display;

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

// The size of what the player sees, in pixels. Not the renderer's output size: while the picture
// is the render target (all but the moment of presenting) that is the picture's own 800 x 600, and
// a full-screen pointer would be mapped across the whole screen.
void output_size(int& width, int& height)
{
    width = height = 1;
    if (display.window != nullptr) SDL_GetWindowSizeInPixels(display.window, &width, &height);
}

PictureBox current_picture_box()
{
    int width = 1, height = 1;
    output_size(width, height);
    return picture_box(width, height);
}

// Window points to output pixels (they differ on a high-density display).
void window_density(double& x, double& y)
{
    int window_w = 1, window_h = 1, output_w = 1, output_h = 1;
    SDL_GetWindowSize(display.window, &window_w, &window_h);
    output_size(output_w, output_h);
    x = double(output_w) / std::max(1, window_w);
    y = double(output_h) / std::max(1, window_h);
}

// Window coordinates (in the window's own points) to the 800 x 600 picture, and back.
void window_to_picture(int wx, int wy, int& x, int& y)
{
    double dx = 1, dy = 1;
    window_density(dx, dy);
    output_to_picture(current_picture_box(), wx * dx, wy * dy, x, y);
}

void picture_to_window(int x, int y, int& wx, int& wy)
{
    double dx = 1, dy = 1, ox = 0, oy = 0;
    window_density(dx, dy);
    picture_to_output(current_picture_box(), x, y, ox, oy);
    wx = static_cast<int>(ox / dx);
    wy = static_cast<int>(oy / dy);
}

// Confines the pointer when a game is played and the window has the focus; frees it otherwise.
void update_pointer_confinement(bool prompt_waiting = false)
{
    if (display.window == nullptr) return;
    const bool focused = (SDL_GetWindowFlags(display.window) & SDL_WINDOW_INPUT_FOCUS) != 0;
    const bool confine = display.confine_wanted && focused && !prompt_waiting;
    if (confine == display.confined) return;
    display.confined = confine;
    SDL_SetWindowGrab(display.window, confine ? SDL_TRUE : SDL_FALSE);
}

void set_fullscreen(bool fullscreen)
{
    display.fullscreen = fullscreen;
    SDL_SetWindowFullscreen(display.window, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

int key_code_from_sdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    switch (key) {
    case SDLK_BACKSPACE: return vk_backspace;
    case SDLK_RETURN: case SDLK_KP_ENTER: return vk_return;
    case SDLK_ESCAPE: return vk_escape;
    case SDLK_SPACE: return vk_space;
    case SDLK_LEFT: return vk_left;
    case SDLK_UP: return vk_up;
    case SDLK_RIGHT: return vk_right;
    case SDLK_DOWN: return vk_down;
    case SDLK_LSHIFT: return vk_lshift;
    case SDLK_RSHIFT: return vk_rshift;
    case SDLK_SEMICOLON: return vk_semicolon;
    case SDLK_COMMA: return vk_comma;
    case SDLK_MINUS: return vk_minus;
    case SDLK_PERIOD: return vk_period;
    case SDLK_SLASH: return vk_slash;
    case SDLK_QUOTE: return vk_apostrophe;
    // Keys the game has no name for still end a prompt's wait: "any key" means any.
    default: return vk_other;
    }
}

CanvasView canvas_view()
{
    SDL_RenderFlush(display.renderer);   // what the renderer queued lands before we touch pixels
    return CanvasView{static_cast<std::uint32_t*>(display.canvas->pixels), display.canvas->w, display.canvas->h,
                      display.canvas->pitch / 4};
}

// Rows first .. first + count - 1 of the picture changed since the window last showed it.
struct Band {
    int first = 0, count = 0;
};

// The bands of rows that differ from what the window shows, with the copy brought up to date.
// Bands closer than a few rows are joined: one request to the X server costs more than a few
// unchanged rows.
std::vector<Band> changed_bands(const CanvasView& view)
{
    constexpr int join_gap = 8;
    std::vector<Band> bands;
    std::vector<std::uint32_t>& shown = display.shown.pixels;
    const std::size_t row_bytes = static_cast<std::size_t>(screen_width) * 4;
    for (int y = 0; y < screen_height; ++y) {
        const std::uint32_t* row = view.pixels + static_cast<std::size_t>(y) * view.pitch_pixels;
        std::uint32_t* was = shown.data() + static_cast<std::size_t>(y) * screen_width;
        if (std::memcmp(row, was, row_bytes) == 0) continue;
        std::memcpy(was, row, row_bytes);
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
    Display::Shown& shown = display.shown;
    if (shown.surface != surface || shown.width != surface->w || shown.height != surface->h || shown.pixels.empty())
        return false;
    std::vector<SDL_Rect> rects;
    for (const Band& band : changed_bands(canvas_view())) {
        SDL_Rect from{0, band.first, screen_width, band.count};
        SDL_Rect into{box.x, box.y + band.first, screen_width, band.count};
        SDL_BlitSurface(display.canvas, &from, surface, &into);
        rects.push_back(SDL_Rect{box.x, box.y + band.first, screen_width, band.count});
    }
    if (!rects.empty()) SDL_UpdateWindowSurfaceRects(display.window, rects.data(), static_cast<int>(rects.size()));
    return true;
}

// Remembers the whole picture as shown (at its own size), or forgets it (enlarged).
void remember_shown(SDL_Surface* surface, bool own_size)
{
    Display::Shown& shown = display.shown;
    if (!own_size) {
        shown = Display::Shown{};
        return;
    }
    const CanvasView view = canvas_view();
    shown.surface = surface, shown.width = surface->w, shown.height = surface->h;
    shown.pixels.resize(static_cast<std::size_t>(screen_width) * screen_height);
    for (int y = 0; y < screen_height; ++y)
        std::memcpy(shown.pixels.data() + static_cast<std::size_t>(y) * screen_width,
                    view.pixels + static_cast<std::size_t>(y) * view.pitch_pixels, static_cast<std::size_t>(screen_width) * 4);
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
    if (own_size && present_changed_rows(surface, box)) return;
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

// One real event; returns the key code of a new key press, else -1.
int handle_event(const SDL_Event& event)
{
    if (int key = -1; handle_touch_event(event, output_size, key)) return key;
    switch (event.type) {
    case SDL_QUIT: end_program(0);
    case SDL_MOUSEMOTION: {
        int x = 0, y = 0;
        window_to_picture(event.motion.x, event.motion.y, x, y);
        device_mouse_moved(x, y);
        return -1;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) return -1;
        device_button(event.type == SDL_MOUSEBUTTONDOWN);
        // A click answers a waiting prompt as a key does.
        return event.type == SDL_MOUSEBUTTONDOWN && !input_script_playing() ? vk_lbutton : -1;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const bool down = event.type == SDL_KEYDOWN;
        if (down && event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT)) {
            if (event.key.repeat == 0) set_fullscreen(!display.fullscreen);
            return -1;
        }
        if (down && event.key.repeat != 0) return -1;
        const int code = key_code_from_sdl(event.key.keysym.sym);
        if (input_script_playing()) return -1;   // a replay's keys are in its script
        return keyboard_key(code, down);
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) trace("focus gained");
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            trace("focus lost");
            device_focus_lost();
        }
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            display.shown = Display::Shown{};   // uncovered: the whole picture is sent again
            present_target();
        }
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            display.shown = Display::Shown{};   // a new surface, whatever its address
            if (!display.fullscreen) display.window_w = event.window.data1, display.window_h = event.window.data2;
        }
        return -1;
    default: return input_script_playing() ? -1 : handle_pad_event(event);
    }
}

void pump_events()
{
    if (display.window == nullptr) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) handle_event(event);
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
    if (display.pacing.target > now) SDL_Delay(static_cast<Uint32>(display.pacing.target - now));
    else display.pacing.target = now;
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
    open_pads();
    display.fullscreen = chosen.fullscreen;
    display.window_w = chosen.width, display.window_h = chosen.height;
    set_window_icon();
    open_renderer();
}

}  // namespace

SDL_Renderer* platform_renderer() { return display.renderer; }

namespace {
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

void platform_fatal(const std::string& message)
{
    show_error_message("Kalventor", message);
    std::exit(1);
}

void set_display_options(const DisplayOptions& options) { display.options = options; }
const DisplayOptions& display_options() { return display.options; }
void set_window_title(std::string_view title) { display.title = std::string(title); }
bool display_open() { return display.renderer != nullptr; }
void set_frame_limit(long long flips) { display.frame_limit = flips; }
void set_drawing_enabled(bool enabled) { display.drawing = enabled; }
bool drawing_enabled() { return display.drawing; }
void set_presenting(bool presenting) { display.presenting = presenting; }
long long flip_count() { return display.flips; }

void request_screenshot(long long flip, std::string path) { display.screenshots.emplace(flip, std::move(path)); }

void open_display(int width, int height, int /*depth*/, int refresh_hz, int /*flags*/)
{
    display.refresh_hz = refresh_hz > 0 ? refresh_hz : 60;
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

void confine_pointer(bool confine)
{
    display.confine_wanted = confine;
    update_pointer_confinement();
}

bool pointer_confined() { return display.confined; }

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

void hide_pointer()
{
    if (display.window != nullptr) SDL_ShowCursor(SDL_DISABLE);
}

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

void flip(int /*sync*/)
{
    if (display.renderer == nullptr) return;
    take_screenshots();
    frame_stats_frame_done();
    // Shown as soon as it is drawn; the wait for the next frame's time comes after, and the
    // input is read only then, so what the player does reaches the screen within a frame.
    // A replay watched fast shows only some frames and waits for none of the others.
    if (display.presenting) present_target();
    frame_stats_presented(display.window != nullptr);
    if (display.presenting) pace_frame();
    audio_advance_frame();   // mixes a frame itself only where no device plays, so channels still end
    display.flips += 1;
    trace_frame(display.flips);
    pump_events();
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

void show_error_message(const std::string& title, const std::string& message)
{
    std::fprintf(stderr, "%s\n", message.c_str());
    // A message box too where a player could see one: not headless, and a desktop to show it on.
    const bool desktop = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    if (!display.options.headless && desktop)
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), message.c_str(), display.window);
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

void warp_device_pointer(int x, int y)
{
    if (display.window == nullptr) return;
    int wx = 0, wy = 0;
    picture_to_window(x, y, wx, wy);
    SDL_WarpMouseInWindow(display.window, wx, wy);
}

void answer_close_request()
{
    if (display.window != nullptr) {
        SDL_PumpEvents();
        SDL_Event quit;
        if (SDL_PeepEvents(&quit, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) end_program(0);
    }
    check_termination_request();
}

int wait_device_key()
{
    if (display.window == nullptr) {
        if (device_script_playing()) return next_device_script_key();
        end_program(0);   // nothing could ever press a key
    }
    update_pointer_confinement(true);   // a prompt lets the pointer go; the next flip takes it back
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, 100)) {
        const int key = handle_event(event);
        check_termination_request();
        return key;
    }
    check_termination_request();
    return -1;
}
