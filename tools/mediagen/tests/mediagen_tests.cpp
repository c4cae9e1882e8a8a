// SPDX-License-Identifier: GPL-3.0-or-later
// Checks of the committed media against the catalogue: every registration resolves to a
// file of the right format, size and frame layout; sounds and music meet their levels; fonts
// are complete and distinct; masks match their projectiles; the generator is deterministic.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "asset_table.h"
#include "generate.h"
#include "measures.h"
#include "media_readers.h"

namespace mg = mediagen;

namespace {

const std::string data_dir = KALVENTOR_DATA_DIR;
std::string in_data(std::string_view p) { return data_dir + "/" + std::string(p); }

std::optional<mg::DecodedImage> load_image(const std::string& path) {
    return mg::format_of(path) == mg::MediaFormat::jpeg ? mg::read_jpeg(in_data(path)) : mg::read_png(in_data(path));
}

std::optional<mg::DecodedSound> load_sound(std::string_view path) {
    return mg::format_of(path) == mg::MediaFormat::wav ? mg::read_wav(in_data(path)) : mg::read_ogg(in_data(path));
}

int alpha_at(const mg::DecodedImage& img, int x, int y) {
    if (x < 0 || y < 0 || x >= img.width || y >= img.height) return 0;
    return img.rgba[(std::size_t(y) * img.width + x) * 4 + 3];
}

std::string folder_of(const std::string& path) { return path.substr(0, path.find_last_of('/')); }

}  // namespace

// ---------------------------------------------------------------- the catalogue itself

TEST(Catalogue, HoldsTheGamesRegistrations) {
    auto regs = mg::image_registrations_list();
    EXPECT_EQ(int(regs.size() + mg::sounds.size()), mg::total_registrations);
    EXPECT_EQ(int(regs.size()), mg::image_registrations);
    EXPECT_EQ(mg::image_files().size(), regs.size() - 1) << "only one picture is registered twice";

    std::map<std::string, int> per_folder;
    std::map<mg::MediaFormat, int> per_format;
    for (const auto& e : regs) {
        EXPECT_FALSE(e.path.empty());
        EXPECT_GT(e.width, 0);
        EXPECT_GT(e.height, 0);
        ++per_folder[folder_of(e.path).rfind("gfx/fonts", 0) == 0 ? "gfx/fonts" : folder_of(e.path)];
        ++per_format[mg::format_of(e.path)];
    }
    for (const auto& s : mg::sounds) {
        ++per_folder[folder_of(std::string(s.path))];
        ++per_format[mg::format_of(s.path)];
    }
    EXPECT_EQ(per_folder["gfx"], 57);
    EXPECT_EQ(per_folder["gfx/bricks"], 61);
    EXPECT_EQ(per_folder["gfx/powerups"], 30);
    EXPECT_EQ(per_folder["gfx/weapons"], 10);
    EXPECT_EQ(per_folder["gfx/weapon_masks"], 9);
    EXPECT_EQ(per_folder["gfx/guns"], 9);
    EXPECT_EQ(per_folder["gfx/weapon_icons"], 10);
    EXPECT_EQ(per_folder["gfx/fonts"], 3 * 49);
    EXPECT_EQ(per_folder["sound"], 26);
    EXPECT_EQ(per_folder["sound/weapons"], 11);
    EXPECT_EQ(per_folder["music"], 4);
    EXPECT_EQ(per_format[mg::MediaFormat::png], 330);
    EXPECT_EQ(per_format[mg::MediaFormat::jpeg], 3);
    EXPECT_EQ(per_format[mg::MediaFormat::wav], 19);
    EXPECT_EQ(per_format[mg::MediaFormat::ogg], 22);
}

TEST(Catalogue, NamesAreUniqueApartFromTheTwiceRegisteredBrick) {
    std::multiset<std::string> names;
    for (const auto& e : mg::image_registrations_list()) names.insert(e.path);
    for (const auto& s : mg::sounds) names.insert(std::string(s.path));
    for (const auto& n : names) EXPECT_EQ(names.count(n), n == mg::twice_registered ? 2u : 1u) << n;
}

// ---------------------------------------------------------------- pictures

TEST(Pictures, EveryRegistrationResolvesToAFileOfItsSize) {
    int checked = 0;
    for (const auto& e : mg::image_registrations_list()) {
        if (e.optional && !std::filesystem::exists(in_data(e.path))) continue;
        auto img = load_image(e.path);
        ASSERT_TRUE(img) << e.path << " is missing or does not decode";
        EXPECT_EQ(img->width, e.width) << e.path;
        EXPECT_EQ(img->height, e.height) << e.path;
        EXPECT_EQ(e.width % e.frames, 0) << e.path;
        ++checked;
    }
    EXPECT_GE(checked, mg::image_registrations - 3);
}

// Animation strips: every frame drawn, and none reaching into its neighbour's cell.
TEST(Pictures, AnimationFramesStayInsideTheirCells) {
    for (const auto& e : mg::image_files()) {
        if (e.frames < 2) continue;
        auto img = load_image(e.path);
        ASSERT_TRUE(img) << e.path;
        int cell = img->width / e.frames;
        for (int f = 0; f < e.frames; ++f) {
            int visible = 0;
            for (int y = 0; y < img->height; ++y) {
                for (int x = f * cell + 1; x < (f + 1) * cell - 1; ++x) visible += alpha_at(*img, x, y) > 0;
                EXPECT_EQ(alpha_at(*img, f * cell, y), 0) << e.path << " frame " << f << " touches its left edge";
                EXPECT_EQ(alpha_at(*img, (f + 1) * cell - 1, y), 0) << e.path << " frame " << f << " touches its right edge";
            }
            EXPECT_GT(visible, 10) << e.path << " frame " << f;
        }
    }
}

TEST(Pictures, FilesCarryTheFormatTheirNameSays) {
    auto starts = [](const std::vector<std::uint8_t>& b, const char* magic, std::size_t n) {
        return b.size() >= n && std::memcmp(b.data(), magic, n) == 0;
    };
    for (const auto& e : mg::image_files()) {
        auto b = mg::read_bytes(in_data(e.path));
        if (b.empty() && e.optional) continue;
        bool jpeg = mg::format_of(e.path) == mg::MediaFormat::jpeg;
        EXPECT_TRUE(jpeg ? starts(b, "\xff\xd8\xff", 3) : starts(b, "\x89PNG\r\n\x1a\n", 8)) << e.path;
    }
    for (const auto& s : mg::sounds) {
        auto b = mg::read_bytes(in_data(s.path));
        bool wav = mg::format_of(s.path) == mg::MediaFormat::wav;
        EXPECT_TRUE(starts(b, wav ? "RIFF" : "OggS", 4)) << s.path;
    }
}

TEST(Pictures, NoVisiblePixelIsTheTransparentMagenta) {
    for (const auto& e : mg::image_files()) {
        if (mg::format_of(e.path) != mg::MediaFormat::png) continue;
        auto img = load_image(e.path);
        if (!img) continue;
        for (std::size_t i = 0; i < img->rgba.size(); i += 4) {
            const auto* p = &img->rgba[i];
            if (p[3] > 0 && p[0] == 255 && p[1] == 0 && p[2] == 255) {
                ADD_FAILURE() << e.path << " has a magenta pixel";
                break;
            }
        }
    }
}

// Light-blended sprites must fade to nothing before their edges, or the box shows.
TEST(Pictures, LightSpritesFadeOutBeforeTheirEdges) {
    for (const char* name : {"gfx/big_spark.png", "gfx/glow_particle.png", "gfx/explosive_glow.png", "gfx/nuke_boom.png",
                             "gfx/ball_trail_small.png", "gfx/ball_trail_normal.png", "gfx/ball_trail_big.png",
                             "gfx/burst.png", "gfx/title.png"}) {
        auto img = load_image(name);
        ASSERT_TRUE(img) << name;
        int worst = 0;
        for (int x = 0; x < img->width; ++x) worst = std::max({worst, alpha_at(*img, x, 0), alpha_at(*img, x, img->height - 1)});
        for (int y = 0; y < img->height; ++y) worst = std::max({worst, alpha_at(*img, 0, y), alpha_at(*img, img->width - 1, y)});
        EXPECT_LE(worst, 12) << name;
    }
    // these run on sideways into their neighbours; only their top and bottom must fade
    for (const char* name : {"gfx/paddle_glow_left.png", "gfx/paddle_glow_center.png", "gfx/paddle_glow_right.png",
                             "gfx/forcefield.png"}) {
        auto img = load_image(name);
        ASSERT_TRUE(img) << name;
        for (int x = 0; x < img->width; ++x) {
            EXPECT_LE(alpha_at(*img, x, 0), 3) << name;
            EXPECT_LE(alpha_at(*img, x, img->height - 1), 3) << name;
        }
    }
}

TEST(Pictures, BackgroundsStayDarkEnoughToPlayOver) {
    for (const char* name : {"gfx/metal_background.jpg", "gfx/volcano_background.jpg", "gfx/alien_background.jpg"}) {
        auto img = load_image(name);
        ASSERT_TRUE(img) << name;
        double sum = 0;
        for (std::size_t i = 0; i < img->rgba.size(); i += 4)
            sum += 0.299 * img->rgba[i] + 0.587 * img->rgba[i + 1] + 0.114 * img->rgba[i + 2];
        double mean = sum / (img->rgba.size() / 4);
        EXPECT_LT(mean, 70) << name;
        EXPECT_GT(mean, 8) << name << " is almost black";
    }
}

// ---------------------------------------------------------------- bricks

namespace {
double fraction_translucent(const mg::DecodedImage& img) {
    int visible = 0, translucent = 0;
    for (std::size_t i = 3; i < img.rgba.size(); i += 4)
        if (img.rgba[i] > 0) ++visible, translucent += img.rgba[i] < 230;
    return visible ? double(translucent) / visible : 0;
}
double difference(const mg::DecodedImage& a, const mg::DecodedImage& b) {
    double d = 0;
    for (std::size_t i = 0; i < std::min(a.rgba.size(), b.rgba.size()); ++i) d += std::abs(int(a.rgba[i]) - int(b.rgba[i]));
    return d / double(a.rgba.size());
}
}  // namespace

TEST(Bricks, SoftAndHiddenKindsAreSeeThroughAndTheOthersSolid) {
    for (int t = 0; t < 3; ++t)
        for (int n = 1; n <= 20; ++n) {
            auto img = load_image(mg::brick_path(t, n));
            ASSERT_TRUE(img);
            int kind = n - 1;
            bool glassy = kind == 5 || kind == 17 || kind == 8 || kind == 19;
            if (glassy) {
                EXPECT_GT(fraction_translucent(*img), 0.5) << mg::brick_path(t, n);
            } else {
                EXPECT_LT(fraction_translucent(*img), 0.25) << mg::brick_path(t, n);
            }
        }
}

TEST(Bricks, EveryKindLooksDifferentWithinATheme) {
    for (int t = 0; t < 3; ++t) {
        std::vector<mg::DecodedImage> imgs;
        for (int n = 1; n <= 20; ++n) imgs.push_back(*load_image(mg::brick_path(t, n)));
        for (int a = 0; a < 20; ++a)
            for (int b = a + 1; b < 20; ++b)
                if (imgs[a].width == imgs[b].width) {
                    EXPECT_GT(difference(imgs[a], imgs[b]), 4.0) << t << ": kinds " << a << ", " << b;
                }
    }
}

TEST(Bricks, ThreeStageBricksShowMoreDamageEachStage) {
    for (int t = 0; t < 3; ++t) {
        auto s1 = *load_image(mg::brick_path(t, 11)), s2 = *load_image(mg::brick_path(t, 12)), s3 = *load_image(mg::brick_path(t, 13));
        EXPECT_LT(difference(s1, s2), difference(s1, s3)) << mg::themes[t];
        EXPECT_GT(difference(s1, s2), 2.0) << mg::themes[t];
    }
}

// ---------------------------------------------------------------- fonts

TEST(Fonts, EveryGlyphExistsAtItsSizeAndNoTwoAreAlike) {
    for (const auto& f : mg::fonts) {
        std::vector<std::pair<std::vector<std::uint8_t>, std::string>> seen;
        for (const auto& g : mg::glyphs) {
            std::string path = mg::glyph_path(f, g);
            auto img = load_image(path);
            ASSERT_TRUE(img) << path;
            EXPECT_EQ(img->width, f.glyph_width) << path;
            EXPECT_EQ(img->height, g.character == '?' ? f.q_mark_height : f.glyph_height) << path;
            for (const auto& [pixels, other] : seen) EXPECT_FALSE(pixels == img->rgba) << path << " is identical to " << other;
            seen.emplace_back(img->rgba, path);
            int brightest = 0, visible = 0;
            for (std::size_t i = 0; i < img->rgba.size(); i += 4)
                if (img->rgba[i + 3] > 0) {
                    ++visible;
                    brightest = std::max(brightest, int(img->rgba[i]) + img->rgba[i + 1] + img->rgba[i + 2]);
                }
            if (g.character == ' ') {
                EXPECT_EQ(visible, 0) << path << " must be fully transparent";
            } else {
                EXPECT_GT(visible, 0) << path;
                EXPECT_GE(brightest, 3 * 220) << path << " is not drawn light enough to tint";
            }
        }
    }
}

// ---------------------------------------------------------------- weapon masks

namespace {
// Image pixel under a mask pixel once the mask is turned by `degrees` about its centred
// handle and laid over the picture's centred handle (both handles at integer halves).
std::pair<int, int> picture_pixel(int mx, int my, const mg::DecodedImage& mask, const mg::DecodedImage& pic, double degrees) {
    double a = degrees * 3.14159265358979 / 180, c = std::round(std::cos(a)), s = std::round(std::sin(a));
    int lx = mx - mask.width / 2, ly = my - mask.height / 2;
    int sx = int(lx * c - ly * s), sy = int(lx * s + ly * c);
    return {sx + pic.width / 2, sy + pic.height / 2};
}
}  // namespace

TEST(WeaponMasks, EachMaskCoversExactlyItsProjectilesVisiblePixels) {
    struct Pair {
        const char* name;
        double turn;  // mask rotation relative to the picture as drawn
    };
    // rockets, mines and nukes are drawn upright but collide with the mask turned to -90
    const Pair pairs[] = {{"phaser_doubleshot", 0}, {"machinegun", 0}, {"spreadblaster", 0}, {"plasmacannon", 0},
                          {"rockets", -90},         {"mines", -90},      {"homingrockets", 0}, {"nukes", -90}};
    for (const auto& p : pairs) {
        auto mask = load_image(std::string("gfx/weapon_masks/") + p.name + ".png");
        auto pic = load_image(std::string("gfx/weapons/") + p.name + ".png");
        ASSERT_TRUE(mask && pic) << p.name;
        int covered = 0;
        for (int y = 0; y < mask->height; ++y)
            for (int x = 0; x < mask->width; ++x) {
                auto [px, py] = picture_pixel(x, y, *mask, *pic, p.turn);
                bool solid = alpha_at(*mask, x, y) > 127;
                EXPECT_EQ(solid, alpha_at(*pic, px, py) > 0) << p.name << " mask pixel " << x << "," << y;
                covered += solid;
            }
        // and nothing visible lies outside the mask
        int visible = 0;
        for (std::size_t i = 3; i < pic->rgba.size(); i += 4) visible += pic->rgba[i] > 0;
        EXPECT_EQ(covered, visible) << p.name;
    }
    auto second = load_image("gfx/weapons/mines_2.png"), first = load_image("gfx/weapons/mines.png");
    ASSERT_TRUE(first && second);
    for (std::size_t i = 3; i < first->rgba.size(); i += 4)
        EXPECT_EQ(first->rgba[i] > 0, second->rgba[i] > 0) << "both mine frames share one mask";
}

// ---------------------------------------------------------------- sounds and music

TEST(Sounds, EveryEffectDecodesCleanly) {
    for (const auto& s : mg::sounds) {
        if (s.music) continue;
        auto snd = load_sound(s.path);
        ASSERT_TRUE(snd) << s.path;
        EXPECT_EQ(snd->rate, mg::sample_rate) << s.path;
        EXPECT_EQ(snd->channels, 1) << s.path;
        ASSERT_FALSE(snd->samples.empty()) << s.path;
        double seconds = double(snd->samples.size()) / snd->rate, sum = 0;
        float peak = 0;
        for (float v : snd->samples) peak = std::max(peak, std::fabs(v)), sum += v;
        EXPECT_LE(peak, mg::peak_limit) << s.path;
        EXPECT_GT(peak, 0.05f) << s.path << " is nearly silent";
        EXPECT_LT(std::fabs(sum / snd->samples.size()), 0.01) << s.path << " has a DC offset";
        EXPECT_LT(std::fabs(snd->samples.front()), 0.02f) << s.path << " starts with a click";
        EXPECT_LT(std::fabs(snd->samples.back()), 0.02f) << s.path << " ends with a click";
        if (s.path == "sound/weapons/ionbeam_charge.ogg") {
            EXPECT_GE(seconds, 2.2) << s.path;
        } else {
            EXPECT_LE(seconds, 2.5) << s.path;
        }
    }
}

TEST(Sounds, SkillShotsRiseInPitch) {
    // zero crossings per second stand in for pitch
    double last = 0;
    for (int i = 1; i <= 5; ++i) {
        auto snd = load_sound("sound/skillshot_x" + std::to_string(i) + ".wav");
        ASSERT_TRUE(snd);
        int crossings = 0;
        for (std::size_t k = 1; k < snd->samples.size(); ++k) crossings += (snd->samples[k - 1] < 0) != (snd->samples[k] < 0);
        double rate = crossings / (double(snd->samples.size()) / snd->rate);
        EXPECT_GT(rate, last) << "skillshot_x" << i;
        last = rate;
    }
}

TEST(Music, TracksLoopSeamlesslyAtMatchedLoudness) {
    std::vector<double> loudness;
    for (const auto& s : mg::sounds) {
        if (!s.music) continue;
        auto snd = load_sound(s.path);
        ASSERT_TRUE(snd) << s.path;
        EXPECT_EQ(snd->rate, mg::sample_rate);
        ASSERT_GE(snd->channels, 1);
        std::size_t frames = snd->samples.size() / snd->channels;
        EXPECT_GE(double(frames) / snd->rate, 60.0) << s.path;
        float peak = 0;
        for (float v : snd->samples) peak = std::max(peak, std::fabs(v));
        EXPECT_LE(peak, mg::peak_limit) << s.path;
        loudness.push_back(soundcheck::loudness({snd->rate, snd->channels, snd->samples}).integrated);
        // The jump from the last frame back to the first must look like the steps of the
        // waveform on either side of it (10 ms each way), not a cut. Local, since a tune may end
        // on a loud fill whose steps are larger than most of the piece's.
        const std::size_t near = std::size_t(snd->rate) / 100;
        for (int c = 0; c < snd->channels; ++c) {
            auto at = [&](std::size_t i) { return snd->samples[i * snd->channels + c]; };
            float local = 0;
            for (std::size_t i = 1; i < near; ++i)
                local = std::max({local, std::fabs(at(i) - at(i - 1)), std::fabs(at(frames - i) - at(frames - i - 1))});
            EXPECT_LE(std::fabs(at(0) - at(frames - 1)), local) << s.path << " channel " << c;
        }
    }
    ASSERT_EQ(loudness.size(), 4u);
    auto [lo, hi] = std::minmax_element(loudness.begin(), loudness.end());
    EXPECT_LE(*hi - *lo, 1.0) << "loudness spread in LU";
}

// ---------------------------------------------------------------- the generator

TEST(Generator, SameInputGivesTheSameBytes) {
    for (const char* path : {"gfx/bricks/alien_7.png", "gfx/powerups/magnet.png", "gfx/fonts/2/q.png",
                             "gfx/weapon_masks/rockets.png", "sound/hit_paddle.wav", "sound/weapons/phaser.ogg"}) {
        auto a = mg::render_file(path), b = mg::render_file(path);
        EXPECT_FALSE(a.empty()) << path;
        EXPECT_EQ(a, b) << path;
    }
}

TEST(Generator, DataStaysUnderTwelveMegabytes) {
    std::uintmax_t total = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(data_dir))
        if (e.is_regular_file()) total += e.file_size();
    EXPECT_LT(total, 12u * 1024 * 1024);
}

// ---------------------------------------------------------------- capsules, paddle, HUD

namespace {
struct Rgb {
    double r = 0, g = 0, b = 0;
};
// Average colour of the visible pixels in a box.
Rgb average(const mg::DecodedImage& img, int x0, int y0, int x1, int y1) {
    Rgb sum;
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const auto* p = &img.rgba[(std::size_t(y) * img.width + x) * 4];
            if (p[3] < 128) continue;
            sum.r += p[0], sum.g += p[1], sum.b += p[2], ++n;
        }
    if (n) sum.r /= n, sum.g /= n, sum.b /= n;
    return sum;
}
double distance(const Rgb& a, const Rgb& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }
}  // namespace

TEST(Capsules, ShellColourTellsHelpfulWeaponAndHarmfulApart) {
    const std::set<int> harmful{0, 3, 11, 12, 16, 28};  // faster ball, smaller ball, shorter, frozen, invisible, kill
    for (int num = 0; num < 30; ++num) {
        auto img = load_image(mg::powerup_path(num));
        ASSERT_TRUE(img);
        // the shell's rim band at the left end, clear of the symbol window
        Rgb shell = average(*img, 2, 10, 5, 22);
        std::string what = mg::powerup_path(num);
        if (harmful.count(num)) {
            EXPECT_GT(shell.r, shell.g + 40) << what << " should be red";
            EXPECT_GT(shell.r, shell.b + 40) << what << " should be red";
        } else if (num >= 17 && num <= 26) {
            EXPECT_GT(shell.r, shell.b + 60) << what << " should be amber";
            EXPECT_GT(shell.g, shell.b + 30) << what << " should be amber";
        } else {
            EXPECT_GT(shell.b, shell.r + 40) << what << " should be blue";
        }
    }
}

TEST(Capsules, NoTwoCapsulesLookAlike) {
    // capsules share their shell, so they differ in the symbol: count clearly changed pixels
    auto changed = [](const mg::DecodedImage& a, const mg::DecodedImage& b) {
        int n = 0;
        for (std::size_t i = 0; i < a.rgba.size(); i += 4) {
            int d = 0;
            for (int c = 0; c < 4; ++c) d += std::abs(int(a.rgba[i + c]) - int(b.rgba[i + c]));
            n += d > 96;
        }
        return n;
    };
    std::vector<mg::DecodedImage> caps;
    for (int num = 0; num < 30; ++num) caps.push_back(*load_image(mg::powerup_path(num)));
    for (int a = 0; a < 30; ++a)
        for (int b = a + 1; b < 30; ++b) EXPECT_GE(changed(caps[a], caps[b]), 12) << a << " and " << b;
}

TEST(Paddle, CapsAndCentreJoinWithoutASeam) {
    auto left = *load_image("gfx/paddle_left.png"), centre = *load_image("gfx/paddle_center.png"),
         right = *load_image("gfx/paddle_right.png");
    for (int y = 2; y < 13; ++y) {
        Rgb c = average(centre, 0, y, 1, y + 1);
        EXPECT_LT(distance(average(left, 18, y, 19, y + 1), c), 60) << "left cap row " << y;
        EXPECT_LT(distance(average(right, 0, y, 1, y + 1), c), 60) << "right cap row " << y;
    }
    auto gl = *load_image("gfx/paddle_glow_left.png"), gc = *load_image("gfx/paddle_glow_center.png"),
         gr = *load_image("gfx/paddle_glow_right.png");
    for (int y = 0; y < 64; ++y) {
        EXPECT_NEAR(alpha_at(gl, 30, y), alpha_at(gc, 0, y), 8) << "left glow row " << y;
        EXPECT_NEAR(alpha_at(gr, 0, y), alpha_at(gc, 0, y), 8) << "right glow row " << y;
    }
}

TEST(Hud, PanelsAreSolidWallsForProjectiles) {
    for (std::string_view theme : mg::themes) {
        auto top = *load_image("gfx/hud_top_" + std::string(theme) + ".png");
        for (int x = 0; x < top.width; ++x)
            for (int y = 40; y < 80; ++y) ASSERT_EQ(alpha_at(top, x, y), 255) << theme << " top panel at " << x << "," << y;
        for (const char* side : {"left", "right"}) {
            auto img = *load_image("gfx/hud_" + std::string(side) + "_" + std::string(theme) + ".png");
            for (int y = 0; y < img.height; ++y)
                for (int x = 0; x < img.width; ++x) ASSERT_EQ(alpha_at(img, x, y), 255) << theme << " " << side;
        }
    }
}

TEST(Balls, AreRoundAndSolid) {
    for (const char* name : {"gfx/ball_small.png", "gfx/ball_normal.png", "gfx/ball_big.png"}) {
        auto img = *load_image(name);
        EXPECT_EQ(alpha_at(img, 0, 0), 0) << name;
        EXPECT_EQ(alpha_at(img, img.width - 1, img.height - 1), 0) << name;
        EXPECT_EQ(alpha_at(img, img.width / 2, img.height / 2), 255) << name;
        EXPECT_EQ(alpha_at(img, img.width / 2, 0) > 0, true) << name << " should fill its box";
    }
}

namespace {
double crossings_per_second(const std::vector<float>& s, std::size_t from, std::size_t to, int rate) {
    int n = 0;
    for (std::size_t k = from + 1; k < to; ++k) n += (s[k - 1] < 0) != (s[k] < 0);
    return n / (double(to - from) / rate);
}
}  // namespace

TEST(Sounds, BiggerBallsKnockLowerAndTheChargeRises) {
    double last = 1e9;
    for (const char* name : {"sound/hit_paddle_small.wav", "sound/hit_paddle.wav", "sound/hit_paddle_big.wav"}) {
        auto snd = *load_sound(name);
        double rate = crossings_per_second(snd.samples, 0, snd.samples.size() / 2, snd.rate);
        EXPECT_LT(rate, last) << name;
        last = rate;
    }
    auto charge = *load_sound("sound/weapons/ionbeam_charge.ogg");
    std::size_t second = std::size_t(charge.rate);
    EXPECT_GT(crossings_per_second(charge.samples, charge.samples.size() - 2 * second, charge.samples.size() - second, charge.rate),
              2 * crossings_per_second(charge.samples, 0, second, charge.rate));
}
