// SPDX-License-Identifier: GPL-3.0-or-later
// Contact sheets for looking, not measuring: the capsules over every backdrop as each kind of
// eye sees them, the bricks of each theme over their own backdrop, the three places side by side.
#include <string>

#include "figures.h"
#include "picture.h"
#include "tools/mediagen/asset_table.h"

namespace lookcheck {

namespace {

Picture backdrop(const std::string& data, int theme)
{
    return load_picture(data + "/gfx/" + std::string(mediagen::themes[static_cast<std::size_t>(theme)]) +
                        "_background.jpg");
}

Picture half_size(const Picture& p)
{
    Picture out = blank(p.width / 2, p.height / 2, {0, 0, 0, 255});
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            int sum[3] = {};
            for (int k = 0; k < 4; ++k) {
                const Texel t = texel(p, 2 * x + k % 2, 2 * y + k / 2);
                sum[0] += t.r, sum[1] += t.g, sum[2] += t.b;
            }
            put_texel(out, x, y, {sum[0] / 4, sum[1] / 4, sum[2] / 4, 255});
        }
    return out;
}

void capsule_sheet(const std::string& data, const std::string& dir)
{
    constexpr int cell = 70;
    Picture sheet = blank(30 * cell, 12 * cell, {0, 0, 0, 255});
    for (int t = 0; t < 3; ++t) {
        const Picture back = backdrop(data, t);
        for (int v = 0; v < 4; ++v) {
            const int row = v * 3 + t;
            for (int x = 0; x < sheet.width; x += back.width)
                paste(sheet, crop(back, 0, 200, back.width, cell), x, row * cell);
            for (int i = 0; i < 30; ++i) {
                const Picture cap =
                    load_picture(data + "/gfx/powerups/" +
                                 std::string(mediagen::powerup_files[static_cast<std::size_t>(i)]) + ".png");
                paste(sheet, cap, i * cell + 3, row * cell + 3, 2);
            }
        }
    }
    for (int v = 0; v < 4; ++v) {
        Picture band = crop(sheet, 0, v * 3 * cell, sheet.width, 3 * cell);
        paste(sheet, simulated(band, all_visions[static_cast<std::size_t>(v)]), 0, v * 3 * cell);
    }
    save_picture(dir + "/capsules.png", sheet);
}

void brick_sheet(const std::string& data, const std::string& dir)
{
    constexpr int cell_w = 90, cell_h = 50;
    Picture sheet = blank(20 * cell_w, 9 * cell_h, {0, 0, 0, 255});
    for (int t = 0; t < 3; ++t) {
        const Picture back = backdrop(data, t);
        for (int v = 0; v < 3; ++v) {
            const int row = v * 3 + t;
            for (int x = 0; x < sheet.width; x += back.width)
                paste(sheet, crop(back, 0, 150, back.width, cell_h), x, row * cell_h);
            for (int k = 1; k <= 20; ++k)
                paste(sheet,
                      load_picture(data + "/gfx/bricks/" + std::string(mediagen::themes[static_cast<std::size_t>(t)]) +
                                   "_" + std::to_string(k) + ".png"),
                      (k - 1) * cell_w + 5, row * cell_h + 5, 2);
        }
    }
    for (int v = 1; v < 3; ++v) {
        Picture band = crop(sheet, 0, v * 3 * cell_h, sheet.width, 3 * cell_h);
        paste(sheet, simulated(band, all_visions[static_cast<std::size_t>(v)]), 0, v * 3 * cell_h);
    }
    save_picture(dir + "/bricks.png", sheet);
}

void backdrop_sheet(const std::string& data, const std::string& dir)
{
    Picture sheet = blank(1200, 300 + 3 * 44, {0, 0, 0, 255});
    for (int t = 0; t < 3; ++t) {
        const std::string name(mediagen::themes[static_cast<std::size_t>(t)]);
        paste(sheet, half_size(backdrop(data, t)), 400 * t, 0);
        const Picture top = load_picture(data + "/gfx/hud_top_" + name + ".png");
        paste(sheet, crop(top, 0, 40, 800, 40), 0, 302 + 44 * t);
        paste(sheet, crop(top, 400, 40, 400, 40), 800, 302 + 44 * t);
    }
    save_picture(dir + "/backdrops.png", sheet);
}

}   // namespace

void write_media_sheets(const std::string& data, const std::string& dir)
{
    capsule_sheet(data, dir);
    brick_sheet(data, dir);
    backdrop_sheet(data, dir);
}

}   // namespace lookcheck
