// SPDX-License-Identifier: GPL-3.0-or-later
// The display's one state, and the small switches and questions the rest of the game sets and
// asks. Opening the window is in display_window.cpp, presenting in display_present.cpp, the
// event pump in display_events.cpp and the drawing operations in display_draw.cpp.
#include "platform/display.h"

#include <SDL.h>

#include <string>
#include <utility>

#include "platform/display_internal.h"
#include "platform/render_internal.h"

namespace display_detail {

Display display;

CanvasView canvas_view()
{
    SDL_RenderFlush(display.renderer);   // what the renderer queued lands before we touch pixels
    return CanvasView{static_cast<std::uint32_t*>(display.canvas->pixels), display.canvas->w, display.canvas->h,
                      display.canvas->pitch / 4};
}

}  // namespace display_detail

using namespace display_detail;

SDL_Renderer* platform_renderer() { return display.renderer; }

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
