// SPDX-License-Identifier: GPL-3.0-or-later
// The measuring stick: pictures whose flashes are known by construction.
#include <gtest/gtest.h>

#include <functional>

#include "flash_count.h"

using flashcheck::FlashCounter;

namespace {

Pixels filled(int w, int h, int grey_left, int grey_right, int split)
{
    Pixels p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w * h * 4), 255)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto grey = static_cast<std::uint8_t>(x < split ? grey_left : grey_right);
            std::uint8_t* px = &p.rgba[static_cast<std::size_t>((y * w + x) * 4)];
            px[0] = px[1] = px[2] = grey;
        }
    return p;
}

// Frames of a 40 x 30 picture whose left `split` columns show grey_of(frame), the rest black.
int worst_of(int frames, int split, const std::function<int(int)>& grey_of)
{
    FlashCounter counter(40, 30);
    for (int f = 0; f < frames; ++f) counter.add_frame(filled(40, 30, grey_of(f), 0, split));
    return counter.worst();
}

}   // namespace

struct FlashCase {
    const char* name;
    int split;                      // columns of 40 that change
    std::function<int(int)> grey;   // their grey on each frame
    int flashes;
};

class FlashCounting : public testing::TestWithParam<FlashCase> {};

TEST_P(FlashCounting, CountsThePairsOfOpposingChanges)
{
    EXPECT_EQ(worst_of(180, GetParam().split, GetParam().grey), GetParam().flashes) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Pictures, FlashCounting,
                         testing::Values(
                             // Black and white swapped every 6 frames: 5 flashes a second.
                             FlashCase{"WholePictureAt5Hz", 40, [](int f) { return (f / 6) % 2 ? 255 : 0; }, 5},
                             FlashCase{"AThirdAt5Hz", 14, [](int f) { return (f / 6) % 2 ? 255 : 0; }, 5},
                             // Under a quarter of the picture: no flash counts, however fast.
                             FlashCase{"AFifthAt5Hz", 8, [](int f) { return (f / 6) % 2 ? 255 : 0; }, 0},
                             // One rise to white and a slow fade back over a second: one flash.
                             FlashCase{
                                 "OneFlashFadingOut", 40,
                                 [](int f) { return f == 20  ? 255
                                                    : f > 20 ? std::max(0, 255 - 4 * (f - 20))
                                                             : 0; }, 1},
                             // Both states bright (grey 240 and 255 are above 0.8): never a flash.
                             FlashCase{"BrightFlicker", 40, [](int f) { return f % 2 ? 255 : 240; }, 0},
                             // Swings of grey 20 to 40 stay under a tenth of the luminance.
                             FlashCase{"DimFlicker", 40, [](int f) { return f % 2 ? 40 : 20; }, 0}),
                         [](const testing::TestParamInfo<FlashCase>& info) { return std::string(info.param.name); });
