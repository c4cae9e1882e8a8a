// SPDX-License-Identifier: GPL-3.0-or-later
// Where the 800 x 600 picture sits in a window or on a screen, and how large a window may be:
// plain arithmetic, shared by presenting, the pointer and the choice of window size.
#pragma once

struct PictureBox {
    int x = 0, y = 0, w = 0, h = 0;
};

// The largest box of the picture's aspect that fits an output of width x height, centred;
// the rest of the output is black bars.
PictureBox picture_box(int output_w, int output_h);
// The largest whole factor (at least 1) by which the picture fits the output: the picture is
// enlarged that far with the nearest pixel, and only what is left over is smoothed.
int whole_scale(int output_w, int output_h);
// A point of the output (in output pixels) to a pixel of the picture, clamped to the picture;
// the bars map to its nearest edge.
void output_to_picture(const PictureBox& box, double ox, double oy, int& x, int& y);
// Whether a point of the output lies on the picture (not on a bar).
bool output_in_picture(const PictureBox& box, double ox, double oy);
// The centre of a picture pixel, in output pixels.
void picture_to_output(const PictureBox& box, int x, int y, double& ox, double& oy);
// The largest window scale, up to the one asked for, whose window fits the usable area of the
// desktop (1 when not even that fits).
int fitting_scale(int wanted, int usable_w, int usable_h);
