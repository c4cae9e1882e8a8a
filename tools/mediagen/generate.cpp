// SPDX-License-Identifier: GPL-3.0-or-later
#include "generate.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "art.h"
#include "asset_table.h"
#include "codecs.h"
#include "media_readers.h"
#include "sounds.h"

namespace mediagen {

namespace {

constexpr float vorbis_quality_effects = 0.4f;
constexpr float vorbis_quality_music = 0.1f;
constexpr int jpeg_quality = 88;
// An effect's first sample and last 5 ms: -60 dBFS at most, with room to spare for another
// build of the decoder.
constexpr float edge_limit = 0.0005f;

const ImageRegistry& images() {
    static const ImageRegistry r = all_image_makers();
    return r;
}
const SoundRegistry& sound_makers() {
    static const SoundRegistry r = all_sound_makers();
    return r;
}

// Vorbis can overshoot the source's peak a little; the decoded file is checked and the
// source turned down until it keeps the -1 dBFS ceiling. An effect must also decode to silence
// at both ends: the codec spreads a little noise ahead of a sound's attack and after its end,
// so an effect that does not gets a few more milliseconds of silence there.
std::vector<std::uint8_t> encode_ogg_within_peak(Audio audio, float quality, bool effect)
{
    const std::size_t pad = std::size_t(sample_rate) * 3 / 1000;
    for (int attempt = 0; attempt < 12; ++attempt) {
        std::vector<std::uint8_t> bytes = encode_ogg(audio.samples, audio.channels, quality);
        auto decoded = read_ogg_memory(bytes);
        if (!decoded) throw std::runtime_error("encoded Ogg does not decode");
        float p = peak_of(decoded->samples);
        if (p > float(peak_limit) * 0.985f) {
            float g = float(peak_limit) * 0.97f / p;
            for (float& v : audio.samples) v *= g;
            continue;
        }
        if (!effect) return bytes;
        const std::vector<float>& d = decoded->samples;
        float tail = 0;
        for (std::size_t i = d.size() - std::min(d.size(), pad * 2); i < d.size(); ++i)
            tail = std::max(tail, std::fabs(d[i]));
        bool head_ok = std::fabs(d.front()) <= edge_limit, tail_ok = tail <= edge_limit;
        if (head_ok && tail_ok) return bytes;
        if (!head_ok) audio.samples.insert(audio.samples.begin(), pad, 0.0f);
        if (!tail_ok) audio.samples.insert(audio.samples.end(), pad, 0.0f);
    }
    throw std::runtime_error("Ogg peak or edges stay out of bounds");
}

std::vector<std::uint8_t> render_image(const ImageEntry& e) {
    auto it = images().find(e.path);
    if (it == images().end()) throw std::runtime_error("no painter for " + e.path);
    Canvas c = it->second();
    if (c.width() != e.width || c.height() != e.height)
        throw std::runtime_error(e.path + " painted at " + std::to_string(c.width()) + "x" + std::to_string(c.height()));
    return format_of(e.path) == MediaFormat::jpeg ? encode_jpeg(c, jpeg_quality) : encode_png(c);
}

std::vector<std::uint8_t> render_sound(const SoundSpec& s) {
    auto it = sound_makers().find(s.path);
    if (it == sound_makers().end()) throw std::runtime_error("no synthesiser for " + std::string(s.path));
    Audio a = it->second();
    if (format_of(s.path) == MediaFormat::wav) return encode_wav(a.samples, a.channels);
    return encode_ogg_within_peak(std::move(a), s.music ? vorbis_quality_music : vorbis_quality_effects, !s.music);
}

bool wanted(const GenerateOptions& o, std::string_view path) {
    if (o.only.empty()) return true;
    for (const auto& s : o.only)
        if (path.find(s) != std::string_view::npos) return true;
    return false;
}

}  // namespace

std::vector<unsigned char> render_file(const std::string& path) {
    for (const ImageEntry& e : image_files())
        if (e.path == path) return render_image(e);
    for (const SoundSpec& s : sounds)
        if (s.path == path) return render_sound(s);
    throw std::runtime_error("not in the catalogue: " + path);
}

int generate(const GenerateOptions& o) {
    int written = 0;
    auto start = std::chrono::steady_clock::now();
    auto emit = [&](std::string_view path, auto&& render) {
        auto t0 = std::chrono::steady_clock::now();
        write_file_atomic(o.data_dir + "/" + std::string(path), render());
        ++written;
        double dt = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (o.verbose && dt > 0.5) std::printf("  %-40s %.1f s\n", std::string(path).c_str(), dt);
    };
    for (const ImageEntry& e : image_files())
        if (wanted(o, e.path)) emit(e.path, [&] { return render_image(e); });
    for (const SoundSpec& s : sounds)
        if (wanted(o, s.path)) emit(s.path, [&] { return render_sound(s); });
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (o.verbose) std::printf("wrote %d files into %s in %.1f s\n", written, o.data_dir.c_str(), secs);
    return written;
}

}  // namespace mediagen
