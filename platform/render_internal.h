// SPDX-License-Identifier: GPL-3.0-or-later
// Shared between the platform's own files only: the renderer and an image's texture.
#pragma once

#include <SDL.h>

#include "platform/image.h"

SDL_Renderer* platform_renderer();   // null before open_display
// The image's texture, created on first use; null without a renderer.
SDL_Texture* image_texture(Image image);
// True when no pixel of the image is see-through (grabbed pictures never count as opaque).
bool image_opaque(Image image);
// Sampled bilinearly when turned or scaled; soft glows need not be (see is_soft).
bool image_is_filtered(Image image);
// Drawing in software: the image's strip as premultiplied 0xAARRGGBB pixels, pitch in pixels.
const std::uint32_t* image_argb(Image image);
std::uint32_t* image_argb_for_writing(Image image);   // drops a texture that would go stale
int image_argb_pitch(Image image);
// After pixels were written into `area` of a masked image's software copy (a grab): the mask
// colour there becomes transparent, as it does in a masked picture at load.
void mask_written_pixels(Image image, const SDL_Rect& area);
// The same for a grab drawn into the image's texture, which must be the render target.
void mask_grabbed_texture(Image image, SDL_Texture* texture, const SDL_Rect& area);
// Source rectangle of a frame inside the image's texture.
SDL_Rect image_frame_rect(Image image, int frame);
// Copies the 800 x 600 picture into the box of a surface: enlarged by the largest whole factor with
// the nearest pixel, and only what that leaves over smoothed, so every stroke keeps one width and
// a whole multiple stays sharp. `enlarged` is scratch the caller keeps between frames.
void blit_evenly(SDL_Surface* picture, SDL_Surface* surface, const SDL_Rect& box, SDL_Surface*& enlarged);
[[noreturn]] void platform_fatal(const std::string& message);
