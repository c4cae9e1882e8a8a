// SPDX-License-Identifier: GPL-3.0-or-later
// Decoders for the committed media, used by the contact sheet, the generator's own checks
// and the tests. They read with libpng, libjpeg and vorbisfile directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mediagen {

struct DecodedImage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // 4 bytes per pixel
};
struct DecodedSound {
    int channels = 0, rate = 0;
    std::vector<float> samples;  // interleaved
};

std::optional<DecodedImage> read_png(const std::string& path);
std::optional<DecodedImage> read_jpeg(const std::string& path);
std::optional<DecodedSound> read_wav(const std::string& path);
std::optional<DecodedSound> read_ogg(const std::string& path);
std::optional<DecodedSound> read_ogg_memory(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> read_bytes(const std::string& path);

}  // namespace mediagen
