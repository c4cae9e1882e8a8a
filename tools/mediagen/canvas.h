// SPDX-License-Identifier: GPL-3.0-or-later
// A small software painter for the media generator: float RGBA canvases, shapes described by
// signed distance functions, supersampled fills, value and cell noise, and colour helpers.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace mediagen {

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float s) { return {a.x * s, a.y * s}; }
inline float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec2 a) { return std::sqrt(dot(a, a)); }
Vec2 rotate(Vec2 p, float degrees);

// Straight (not premultiplied) colour, every channel 0..1.
struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};
Color rgb(int r, int g, int b, float a = 1.0f);
Color mix(Color a, Color b, float t);
Color scaled(Color c, float k);  // brightness times k, alpha kept
Color with_alpha(Color c, float a);
// Porter-Duff "over" of straight colours (top over bottom).
Color over(Color top, Color bottom);
float clamp01(float v);
float smoothstep(float e0, float e1, float x);

using Shader = std::function<Color(float x, float y)>;
using Sdf = std::function<float(Vec2)>;

class Canvas {
public:
    Canvas(int width, int height, Color fill = {});
    int width() const { return w_; }
    int height() const { return h_; }
    Color get(int x, int y) const;          // straight colour
    void set(int x, int y, Color c);
    // Composites a shader over the canvas; each pixel averages ss x ss samples, which is what
    // anti-aliases the hard edges the shaders describe. Limited to the given pixel box.
    void paint(const Shader& shader, int ss = 4);
    void paint(const Shader& shader, int ss, int x0, int y0, int x1, int y1);
    void draw(const Canvas& src, int dx, int dy, float alpha = 1.0f);
    // Bilinear, area-averaged resample of src into the box (x, y, w, h) of this canvas.
    void draw_scaled(const Canvas& src, float x, float y, float w, float h, float alpha = 1.0f);
    // Light blending as the game does it: the sprite's colour, times its alpha, the tint and
    // `alpha`, is added; the sprite is centred on (cx, cy), turned and scaled.
    void add_light(const Canvas& src, float cx, float cy, Color tint, float alpha, float degrees = 0, float scale = 1);
    // 8-bit RGBA rows. Invisible pixels bordering visible ones carry their neighbours' colour
    // (others are 0,0,0,0), and no pixel is pure magenta, which the game treats as transparent.
    std::vector<std::uint8_t> rgba8() const;
    std::vector<std::uint8_t> rgb8(Color background) const;

private:
    int w_, h_;
    std::vector<Color> px_;  // premultiplied
};

// Signed distances (negative inside).
float sd_box(Vec2 p, Vec2 centre, Vec2 half, float radius = 0);
float sd_circle(Vec2 p, Vec2 centre, float r);
float sd_segment(Vec2 p, Vec2 a, Vec2 b, float r);
float sd_polygon(Vec2 p, const std::vector<Vec2>& pts);
float sd_ellipse(Vec2 p, Vec2 centre, Vec2 radii);  // approximate, good near the edge

// Surface lighting of a bevelled shape: the surface rises over `bevel` pixels from the edge;
// returns a brightness factor around 1 lit from the top left.
float bevel_light(const Sdf& sdf, Vec2 p, float bevel, float strength = 0.6f);
// Coverage of a point for a hard-edged shape (supersampling makes it smooth).
inline float inside(float d) { return d <= 0 ? 1.0f : 0.0f; }

// Deterministic noise: every function takes its own seed so pictures do not depend on the
// order they are generated in.
float hash01(int x, int y, int seed);
float value_noise(float x, float y, int seed);
float fbm(float x, float y, int seed, int octaves = 5, float lacunarity = 2.0f, float gain = 0.5f);
// Distance to the nearest and second-nearest cell point (Worley noise), cells of size 1.
struct CellSample {
    float d1, d2;
    int id;
};
CellSample cells(float x, float y, int seed);

// A tiny deterministic random generator (xorshift) for scattering details.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : s_(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t next();
    float uniform(float lo, float hi);
    int range(int lo, int hi);  // inclusive

private:
    std::uint32_t s_;
};

}  // namespace mediagen
