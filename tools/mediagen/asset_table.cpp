// SPDX-License-Identifier: GPL-3.0-or-later
#include "asset_table.h"

#include <set>

namespace mediagen {

std::string brick_path(int theme, int image_number) {
    return "gfx/bricks/" + std::string(themes.at(theme)) + "_" + std::to_string(image_number) + ".png";
}

std::string powerup_path(int num) { return "gfx/powerups/" + std::string(powerup_files.at(num)) + ".png"; }

std::string glyph_path(const FontSpec& font, const GlyphSpec& glyph) {
    return "gfx/fonts/" + std::string(font.name) + "/" + std::string(glyph.file) + ".png";
}

std::vector<ImageEntry> image_registrations_list() {
    std::vector<ImageEntry> out;
    for (int t = 0; t < int(themes.size()); ++t)
        for (int n = 1; n <= bricks_per_theme; ++n) {
            out.push_back({brick_path(t, n), brick_width(n), brick_height, 1, false});
            if (out.back().path == twice_registered) out.push_back(out.back());
        }
    for (int i = 0; i < int(powerup_files.size()); ++i)
        out.push_back({powerup_path(i), capsule_size, capsule_size, 1, false});
    for (const auto& s : single_images)
        out.push_back({std::string(s.path), s.width, s.height, s.frames, s.optional});
    for (const auto& f : fonts)
        for (const auto& g : glyphs)
            out.push_back({glyph_path(f, g), f.glyph_width, g.character == '?' ? f.q_mark_height : f.glyph_height,
                           1, false});
    return out;
}

std::vector<ImageEntry> image_files() {
    std::vector<ImageEntry> out;
    std::set<std::string> seen;
    for (auto& e : image_registrations_list())
        if (seen.insert(e.path).second) out.push_back(std::move(e));
    return out;
}

MediaFormat format_of(std::string_view path) {
    if (path.ends_with(".jpg")) return MediaFormat::jpeg;
    if (path.ends_with(".wav")) return MediaFormat::wav;
    if (path.ends_with(".ogg")) return MediaFormat::ogg;
    return MediaFormat::png;
}

}  // namespace mediagen
