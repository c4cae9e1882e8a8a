// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures as the look figures read them: decoded files, texture histograms, blobs of pixels
// that share a trait, and the small compositing the contact sheets need.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "colour.h"
#include "platform/image.h"

namespace lookcheck {

using Picture = Pixels;

// Reads a PNG or JPEG; a file that will not decode stops the check with its name.
Picture load_picture(const std::string& path);
void save_picture(const std::string& path, const Picture& picture);

struct Texel {
    int r, g, b, a;
};
Texel texel(const Picture& p, int x, int y);
void put_texel(Picture& p, int x, int y, Texel t);

// Local binary patterns of the grey picture (radius 1, 8 neighbours, 256 codes), normalised.
using LbpHistogram = std::array<double, 256>;
LbpHistogram lbp_histogram(const Picture& p);
double hellinger(const LbpHistogram& a, const LbpHistogram& b);

// The largest 8-connected group of pixels for which `trait` holds, in pixels.
int largest_blob(const Picture& p, const std::function<bool(Texel)>& trait);

// Mean of a picture's pixels in linear light, each weighted by its alpha, over those with alpha
// of at least `min_alpha` (for which `keep` also holds when given), laid over `under`.
Linear mean_linear(const Picture& p, const Linear& under, int min_alpha,
                   const std::function<bool(int x, int y)>& keep = {});

// A rectangle of a picture, in pixels.
struct Area {
    int x = 0, y = 0, w = 0, h = 0;
};

// How much a picture's lightness changes from place to place within `area`: the mean gradient
// magnitude of L* (to the next pixel right and down, so even one-pixel stripes count) and the mean
// standard deviation of L* within its `block` x `block` tiles (contrast at the scale of a ball).
struct Busyness {
    double gradient = 0, block_spread = 0;
};
Busyness busyness(const Picture& p, Area area, int block);

// The relative luminance of the picture averaged over `size` x `size` windows laid over `area`
// every `step` pixels: what a thing of that size passing over it stands against.
std::vector<double> window_luminances(const Picture& p, Area area, int size, int step);
// The value a `share` (0..1) of the values lie at or under.
double percentile(std::vector<double> values, double share);

// A w x h picture filled with one colour; `paste` lays src over dst at (x, y) with its alpha.
Picture blank(int w, int h, Texel fill);
void paste(Picture& dst, const Picture& src, int x, int y, int zoom = 1);
Picture crop(const Picture& p, int x, int y, int w, int h);
// Every pixel seen through one deficiency.
Picture simulated(const Picture& p, Vision v);

}   // namespace lookcheck
