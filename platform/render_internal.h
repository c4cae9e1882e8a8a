// Shared between the platform's own files only: the renderer and an image's texture.
#pragma once

#include <SDL.h>

#include "platform/image.h"

SDL_Renderer* platform_renderer();   // null before open_display
SDL_Texture* platform_target();      // the 800 x 600 picture everything is drawn into
// The image's texture, created on first use; null without a renderer.
SDL_Texture* image_texture(Image image);
// Source rectangle of a frame inside the image's texture.
SDL_Rect image_frame_rect(Image image, int frame);
[[noreturn]] void platform_fatal(const std::string& message);
