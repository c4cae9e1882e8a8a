// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "media_readers.h"

namespace soundcheck {

namespace {

std::uint32_t le(const std::vector<unsigned char>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | b[at + std::size_t(i)];
    return v;
}

// Walks the RIFF chunks rather than assuming a 44-byte header, so a hand-made file with
// extra chunks reads too.
std::optional<Sound> read_wav(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    Sound s;
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        std::size_t len = le(b, at + 4, 4);
        if (len > b.size() - at - 8) return std::nullopt;
        if (std::memcmp(&b[at], "fmt ", 4) == 0 && len >= 16) {
            if (le(b, at + 8, 2) != 1) return std::nullopt;   // PCM only
            s.channels = int(le(b, at + 10, 2));
            s.rate = int(le(b, at + 12, 4));
            bits = int(le(b, at + 22, 2));
        } else if (std::memcmp(&b[at], "data", 4) == 0) {
            if (bits != 16 || s.channels < 1) return std::nullopt;
            for (std::size_t i = 0; i + 1 < len; i += 2)
                s.samples.push_back(float(std::int16_t(le(b, at + 8 + i, 2))) / 32768.0f);
            return s;
        }
        at += 8 + len + (len & 1);
    }
    return std::nullopt;
}

// The generator's own decoder: the files are measured as the generator reads them back.
std::optional<Sound> read_ogg(const std::string& path)
{
    auto decoded = mediagen::read_ogg(path);
    if (!decoded) return std::nullopt;
    return Sound{decoded->rate, decoded->channels, std::move(decoded->samples)};
}

}   // namespace

std::optional<Sound> read_sound(const std::string& path)
{
    if (path.ends_with(".wav")) return read_wav(path);
    if (path.ends_with(".ogg")) return read_ogg(path);
    return std::nullopt;
}

std::vector<float> mid_channel(const Sound& s)
{
    std::vector<float> out(s.frames());
    for (std::size_t i = 0; i < out.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < s.channels; ++c) sum += s.samples[i * std::size_t(s.channels) + std::size_t(c)];
        out[i] = sum / float(s.channels);
    }
    return out;
}

}   // namespace soundcheck
