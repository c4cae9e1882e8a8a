// SPDX-License-Identifier: GPL-3.0-or-later
// Encoders for the media formats the game embeds. Every writer is deterministic (no
// timestamps, fixed stream serials) and replaces its file atomically.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace mediagen {

// Writes bytes to path through a temporary file and a rename; creates parent directories.
void write_file_atomic(const std::string& path, const std::vector<std::uint8_t>& bytes);

std::vector<std::uint8_t> encode_png(const Canvas& canvas);
std::vector<std::uint8_t> encode_jpeg(const Canvas& canvas, int quality);
// Mono or interleaved stereo float samples in -1..1 at the game's sample rate.
std::vector<std::uint8_t> encode_wav(const std::vector<float>& samples, int channels);
std::vector<std::uint8_t> encode_ogg(const std::vector<float>& samples, int channels, float quality);

}  // namespace mediagen
