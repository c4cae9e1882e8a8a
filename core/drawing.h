// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing helpers every part of the game uses: the normal drawing state, drawing with the
// screen-shake offset, drop shadows, outlines, the full-screen fades and the menu pointer.
#pragma once

#include "platform/image.h"

struct World;

// Alpha blending, alpha 1, white, no rotation, scale 1: the state everyone may assume.
void reset_draw_state();
void draw_image_shaken(const World& world, Image image, float x, float y, int frame, int shake);
void draw_rect_shaken(const World& world, float x, float y, float width, float height, int shake);
// The image's black silhouette 6 pixels right of and below (x, y); draw it before the object.
void draw_image_shadow(const World& world, Image image, float x, float y, int frame, int shake, float alpha);
void draw_frame_rect(float x, float y, float width, float height);

// The black veil over a finished frame after fade_to_black; call last before every flip.
void update_screen_fade(World& world);
// The 25-frame blocking fade to black over what has been drawn so far in this frame.
void fade_to_black(World& world);
// The pulsing pointer and the hint line; once per menu frame.
void draw_pointer_and_hint(World& world);
