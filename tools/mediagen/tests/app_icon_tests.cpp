// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop icons: every hicolor size is painted at its size, the picture sits inside a
// transparent margin, the SVG refers only to gradients it defines, painting is deterministic,
// and the committed files under dist/icons are what the generator makes today.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "app_icon.h"
#include "codecs.h"
#include "media_readers.h"

namespace mg = mediagen;

namespace {

const std::string icon_dir = KALVENTOR_ICON_DIR;

std::string size_folder(int size) { return std::to_string(size) + "x" + std::to_string(size); }

int alpha_at(const mg::DecodedImage& img, int x, int y) {
    return img.rgba[(std::size_t(y) * std::size_t(img.width) + std::size_t(x)) * 4 + 3];
}

}  // namespace

TEST(AppIcon, EverySizeIsSquareOpaqueInsideAndClearAtTheCorners) {
    const auto dir = std::filesystem::temp_directory_path() / "kalventor_icon_test";
    std::filesystem::remove_all(dir);
    EXPECT_EQ(mg::write_app_icons(dir.string()), int(mg::icon_sizes.size()) + 1);
    for (int size : mg::icon_sizes) {
        SCOPED_TRACE(size);
        const auto img = mg::read_png((dir / size_folder(size) / "kalventor.png").string());
        ASSERT_TRUE(img.has_value());
        EXPECT_EQ(img->width, size);
        EXPECT_EQ(img->height, size);
        // Rounded panel: the corner pixels are outside it, the centre and its trim inside.
        EXPECT_EQ(alpha_at(*img, 0, 0), 0);
        EXPECT_EQ(alpha_at(*img, size - 1, size - 1), 0);
        EXPECT_EQ(alpha_at(*img, size / 2, size / 2), 255);
        EXPECT_EQ(alpha_at(*img, size / 2, size / 16), 255);
        EXPECT_EQ(alpha_at(*img, size / 16, size / 2), 255);
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "scalable" / "kalventor.svg"));
    std::filesystem::remove_all(dir);
}

TEST(AppIcon, PaintingTwiceGivesTheSameBytes) {
    for (int size : {16, 256}) EXPECT_EQ(mg::encode_png(mg::paint_app_icon(size)), mg::encode_png(mg::paint_app_icon(size)));
    EXPECT_EQ(mg::app_icon_svg(), mg::app_icon_svg());
}

TEST(AppIcon, SvgHasOneElementPerShapeAndEveryFillIsDefined) {
    const std::string svg = mg::app_icon_svg();
    EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
    const std::regex defined("id=\"([a-z0-9]+)\""), used("url\\(#([a-z0-9]+)\\)");
    std::set<std::string> ids;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), defined); it != std::sregex_iterator(); ++it)
        ids.insert((*it)[1]);
    int fills = 0;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), used); it != std::sregex_iterator(); ++it, ++fills)
        EXPECT_TRUE(ids.count((*it)[1])) << (*it)[1];
    EXPECT_EQ(fills, int(mg::app_icon_shapes().size()));
}

TEST(AppIcon, GradientsHoldTheirEndsAndBlendBetweenStops) {
    const std::vector<mg::IconStop> stops = {{0.2f, mg::rgb(0, 0, 0)}, {0.6f, mg::rgb(255, 255, 255)}};
    EXPECT_FLOAT_EQ(mg::gradient_at(stops, -1.0f).r, 0.0f);
    EXPECT_FLOAT_EQ(mg::gradient_at(stops, 0.4f).r, 0.5f);
    EXPECT_FLOAT_EQ(mg::gradient_at(stops, 2.0f).r, 1.0f);
}

// A stale committed icon is caught here: pixels are compared, not bytes, so a different zlib
// cannot fail it.
TEST(AppIcon, CommittedIconsMatchTheGenerator) {
    for (int size : mg::icon_sizes) {
        SCOPED_TRACE(size);
        const auto committed = mg::read_png(icon_dir + "/" + size_folder(size) + "/kalventor.png");
        ASSERT_TRUE(committed.has_value()) << "run kalventor-mediagen --icons dist/icons";
        EXPECT_EQ(committed->rgba, mg::paint_app_icon(size).rgba8());
    }
    const auto svg = mg::read_bytes(icon_dir + "/scalable/kalventor.svg");
    EXPECT_EQ(std::string(svg.begin(), svg.end()), mg::app_icon_svg());
}
