// SPDX-License-Identifier: GPL-3.0-or-later
// Thumbnail sheets of a theme's levels, drawn with the game's brick images when they exist.
#include "tools/levelc/preview.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>

#include "tools/levelc/levelsrc.h"

namespace levelsrc {

namespace {

struct Rgba {
    std::uint8_t r, g, b, a;
};

struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgba> px;
    Canvas(int width, int height, Rgba fill) : w(width), h(height), px(std::size_t(width * height), fill) {}
    void blend(int x, int y, Rgba c, float alpha = 1) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        Rgba& d = px[std::size_t(y * w + x)];
        const float a = alpha * static_cast<float>(c.a) / 255.0f;
        auto mix = [a](std::uint8_t from, std::uint8_t to) {
            return static_cast<std::uint8_t>(std::lround(from + (to - from) * a));
        };
        d = {mix(d.r, c.r), mix(d.g, c.g), mix(d.b, c.b), 255};
    }
    void fill(int x, int y, int rw, int rh, Rgba c, float alpha = 1) {
        for (int j = y; j < y + rh; ++j)
            for (int i = x; i < x + rw; ++i) blend(i, j, c, alpha);
    }
    void frame(int x, int y, int rw, int rh, Rgba c, float alpha = 1) {
        for (int i = x; i < x + rw; ++i) blend(i, y, c, alpha), blend(i, y + rh - 1, c, alpha);
        for (int j = y + 1; j < y + rh - 1; ++j) blend(x, j, c, alpha), blend(x + rw - 1, j, c, alpha);
    }
    void line(float x0, float y0, float x1, float y1, Rgba c) {
        const int n = static_cast<int>(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
        for (int s = 0; s <= n; ++s) {
            const float t = static_cast<float>(s) / static_cast<float>(n);
            fill(static_cast<int>(x0 + (x1 - x0) * t), static_cast<int>(y0 + (y1 - y0) * t), 2, 2, c);
        }
    }
    void draw(const Canvas& img, int x, int y, float alpha = 1) {
        for (int j = 0; j < img.h; ++j)
            for (int i = 0; i < img.w; ++i) blend(x + i, y + j, img.px[std::size_t(j * img.w + i)], alpha);
    }
};

std::optional<Canvas> read_png(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    Canvas canvas(static_cast<int>(image.width), static_cast<int>(image.height), {0, 0, 0, 0});
    if (!png_image_finish_read(&image, nullptr, canvas.px.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return canvas;
}

// Stand-in colours for the kinds while no brick images exist.
constexpr std::array<Rgba, brick_kind_count> kind_colours{{
    {200, 60, 60, 255}, {60, 110, 210, 255}, {70, 170, 80, 255}, {215, 190, 60, 255},
    {120, 125, 135, 255}, {200, 200, 220, 120}, {230, 130, 40, 255}, {150, 70, 190, 255},
    {255, 255, 255, 40}, {250, 40, 20, 255}, {40, 190, 190, 255}, {80, 210, 210, 255},
    {150, 235, 235, 255}, {200, 60, 60, 255}, {60, 110, 210, 255}, {70, 170, 80, 255},
    {215, 190, 60, 255}, {200, 200, 220, 120}, {250, 40, 20, 255}, {255, 255, 255, 40}}};

constexpr std::array<Rgba, 3> backgrounds{{{28, 32, 40, 255}, {42, 20, 14, 255}, {14, 34, 26, 255}}};
constexpr std::array<std::string_view, 3> theme_prefix{"metal", "volcano", "alien"};

// 3 x 5 digits for the level numbers.
constexpr std::array<std::uint16_t, 10> digit_bits{0x7B6F, 0x2C97, 0x73E7, 0x73CF, 0x5BC9,
                                                   0x79CF, 0x79EF, 0x7249, 0x7BEF, 0x7BCF};

void draw_number(Canvas& c, int n, int x, int y, int scale) {
    const std::string text = std::to_string(n);
    for (char ch : text) {
        const std::uint16_t bits = digit_bits[static_cast<std::size_t>(ch - '0')];
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (bits >> (14 - (row * 3 + col)) & 1)
                    c.fill(x + col * scale, y + row * scale, scale, scale, {255, 255, 255, 255});
        x += 4 * scale;
    }
}

// A levels.dat may hold any finite coordinate; only points near the screen are drawn.
bool drawable(const Tbrick& b) {
    for (const Tmove_point& p : b.move_point_list)
        if (!(std::fabs(p.x) < 4000 && std::fabs(p.y) < 4000)) return false;
    return !b.move_point_list.empty();
}

class Level_painter {
public:
    Level_painter(int theme, const std::string& gfx_dir) : theme_(theme) {
        for (int k = 0; k < brick_kind_count; ++k) {
            const std::string path = gfx_dir + "/bricks/" + std::string(theme_prefix[std::size_t(theme)]) +
                                     "_" + std::to_string(k + 1) + ".png";
            images_.push_back(std::filesystem::exists(path) ? read_png(path) : std::nullopt);
            if (images_.back()) ++found_;
        }
    }
    int images_found() const { return found_; }

    Canvas paint(const Tlevel& level, int number) const {
        Canvas c(800, 600, backgrounds[std::size_t(theme_)]);
        for (const Tbrick& b : level.brick_list)
            if (drawable(b)) draw_path(c, b);
        for (const Tbrick& b : level.brick_list)
            if (drawable(b)) draw_brick(c, b);
        c.fill(0, 0, 800, 40, {70, 74, 84, 255});
        c.fill(0, 0, 10, 600, {90, 94, 104, 255});
        c.fill(790, 0, 10, 600, {90, 94, 104, 255});
        c.fill(336, 570, 128, 15, {220, 220, 230, 255});  // the paddle, for scale
        draw_number(c, number, 16, 6, 6);
        return c;
    }

private:
    static Tmove_point top_left(const Tbrick& b, const Tmove_point& centre) {
        return {centre.x - static_cast<float>(brick_kind_width(b.num) / 2),
                centre.y - static_cast<float>(brick_kind_height(b.num) / 2)};
    }

    void draw_path(Canvas& c, const Tbrick& b) const {
        if (b.move_point_list.size() < 2) return;
        std::vector<Tmove_point> pts(b.move_point_list.begin(), b.move_point_list.end());
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const Tmove_point& p = pts[i];
            const Tmove_point& q = pts[(i + 1) % pts.size()];
            c.line(p.x, p.y, q.x, q.y, {240, 220, 60, 255});
            if (i > 0) {
                const Tmove_point tl = top_left(b, p);
                c.frame(int(tl.x), int(tl.y), brick_kind_width(b.num), 20, {240, 220, 60, 255}, 0.6f);
            }
        }
    }

    void draw_brick(Canvas& c, const Tbrick& b) const {
        if (b.move_point_list.empty()) return;
        const Tmove_point tl = top_left(b, b.move_point_list.front());
        const int x = static_cast<int>(tl.x), y = static_cast<int>(tl.y);
        const int w = brick_kind_width(b.num);
        const bool hidden = brick_kind_hidden_at_start(b.num);
        const auto& image = images_[std::size_t(b.num)];
        if (hidden) {
            // The game does not draw hidden bricks; show where they are, faintly.
            if (image) c.draw(*image, x, y, 0.25f);
            c.frame(x, y, w, 20, {255, 255, 255, 255}, 0.5f);
        } else if (image) {
            c.draw(*image, x, y);
        } else {
            const Rgba col = kind_colours[std::size_t(b.num)];
            c.fill(x, y, w, 20, col);
            c.frame(x, y, w, 20, {0, 0, 0, 255}, 0.5f);
            if (b.num == 9 || b.num == 18) c.line(float(x + 3), float(y + 3), float(x + w - 4), float(y + 16), {0, 0, 0, 255});
            if (b.num == 7) c.fill(x + w / 2 - 3, y + 7, 6, 6, {255, 255, 255, 255});
            if (b.num == 6) c.frame(x + 3, y + 3, w - 6, 14, {255, 255, 255, 255});
        }
        if (b.powerup >= 0) {
            const Rgba mark = powerup_harmful(b.powerup) ? Rgba{255, 30, 30, 255}
                              : (b.powerup >= 17 && b.powerup <= 26) ? Rgba{40, 230, 255, 255}
                                                                    : Rgba{60, 255, 60, 255};
            c.fill(x + w / 2 - 4, y + 6, 8, 8, {0, 0, 0, 255});
            c.fill(x + w / 2 - 3, y + 7, 6, 6, mark);
        }
    }

    int theme_;
    std::vector<std::optional<Canvas>> images_;
    int found_ = 0;
};

std::optional<std::string> write_png(const std::string& path, const Canvas& c) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(c.w);
    image.height = static_cast<png_uint_32>(c.h);
    image.format = PNG_FORMAT_RGBA;
    const std::string temp = path + ".tmp";
    if (!png_image_write_to_file(&image, temp.c_str(), 0, c.px.data(), 0, nullptr))
        return path + ": cannot write the picture: " + image.message;
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) return path + ": cannot replace: " + ec.message();
    return std::nullopt;
}

}  // namespace

std::optional<std::string> write_preview(const std::vector<Tlevel>& level_list, int theme,
                                         int first, int last, const std::string& gfx_dir,
                                         const std::string& out_path, std::string& note) {
    if (theme < 0 || theme >= level_theme_count) return "the theme is metal, volcano or alien";
    first = std::clamp(first, 1, levels_per_theme);
    last = std::clamp(last, first, levels_per_theme);
    const std::size_t base = std::size_t(theme) * levels_per_theme;
    if (base + std::size_t(last) > level_list.size()) return "the level set is too short";
    const Level_painter painter(theme, gfx_dir);
    note = std::to_string(painter.images_found()) + " of 20 brick images found";
    const int count = last - first + 1;
    const int columns = std::min(count, 5), rows = (count + columns - 1) / columns;
    constexpr int tile_w = 400, tile_h = 300, gap = 6;
    Canvas sheet(columns * (tile_w + gap) + gap, rows * (tile_h + gap) + gap, {0, 0, 0, 255});
    for (int n = first; n <= last; ++n) {
        const Canvas full = painter.paint(level_list[base + std::size_t(n - 1)], n);
        const int tx = gap + ((n - first) % columns) * (tile_w + gap);
        const int ty = gap + ((n - first) / columns) * (tile_h + gap);
        for (int j = 0; j < tile_h; ++j)
            for (int i = 0; i < tile_w; ++i) {
                int r = 0, g = 0, b = 0;
                for (int k = 0; k < 4; ++k) {
                    const Rgba& p = full.px[std::size_t((2 * j + k / 2) * 800 + 2 * i + k % 2)];
                    r += p.r, g += p.g, b += p.b;
                }
                sheet.px[std::size_t((ty + j) * sheet.w + tx + i)] = {std::uint8_t(r / 4), std::uint8_t(g / 4),
                                                                     std::uint8_t(b / 4), 255};
            }
    }
    return write_png(out_path, sheet);
}

}  // namespace levelsrc
