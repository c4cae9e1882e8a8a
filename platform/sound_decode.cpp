// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sound_decode.h"

#define OV_EXCLUDE_STATIC_CALLBACKS   // we read from memory, not through stdio
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Rates outside this are not audio any player could have meant; a damaged field would
// otherwise turn a tiny file into gigabytes of resampled frames.
constexpr int min_source_rate = 1000;
constexpr int max_source_rate = 384000;
constexpr std::int64_t max_decoded_frames = std::int64_t{max_decoded_seconds} * mixer_rate;

std::uint16_t le16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool has_tag(std::span<const std::uint8_t> bytes, std::size_t at, const char* tag)
{
    return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, tag, 4) == 0;
}

bool rate_supported(long rate, std::string& error)
{
    if (rate >= min_source_rate && rate <= max_source_rate) return true;
    error = "unsupported sample rate " + std::to_string(rate);
    return false;
}

// Frames a sound of source_frames at source_rate has once converted to the mixer's rate.
std::int64_t converted_frames(std::int64_t source_frames, int source_rate)
{
    return (source_frames * mixer_rate + source_rate - 1) / source_rate;
}

bool length_supported(std::int64_t source_frames, int source_rate, std::string& error)
{
    if (converted_frames(source_frames, source_rate) <= max_decoded_frames) return true;
    error = "longer than " + std::to_string(max_decoded_seconds) + " seconds";
    return false;
}

// Linear interpolation from source_rate to the mixer's rate; the last frame is held at the end.
std::vector<float> resample_to_mixer_rate(std::vector<float> samples, int channels, int source_rate)
{
    if (source_rate == mixer_rate) return samples;
    const auto count = static_cast<std::int64_t>(samples.size()) / channels;
    const std::int64_t out_count = converted_frames(count, source_rate);
    std::vector<float> out(static_cast<std::size_t>(out_count * channels));
    const double step = static_cast<double>(source_rate) / mixer_rate;
    for (std::int64_t j = 0; j < out_count; ++j) {
        const double pos = static_cast<double>(j) * step;
        const auto i = std::min(static_cast<std::int64_t>(pos), count - 1);
        const std::int64_t next = std::min(i + 1, count - 1);
        const auto f = static_cast<float>(pos - static_cast<double>(i));
        for (int c = 0; c < channels; ++c) {
            const float a = samples[static_cast<std::size_t>(i * channels + c)];
            const float b = samples[static_cast<std::size_t>(next * channels + c)];
            out[static_cast<std::size_t>(j * channels + c)] = a + (b - a) * f;
        }
    }
    return out;
}

// ---- WAV ----

struct WavFormat {
    int tag = 0;
    int channels = 0;
    long rate = 0;
    int block_align = 0;
    int bits = 0;
};

constexpr int wav_format_pcm = 1;
constexpr int wav_format_extensible = 0xFFFE;

bool parse_fmt_chunk(std::span<const std::uint8_t> body, WavFormat& format, std::string& error)
{
    if (body.size() < 16) {
        error = "fmt chunk is " + std::to_string(body.size()) + " bytes, shorter than 16";
        return false;
    }
    format.tag = le16(body.data());
    format.channels = le16(body.data() + 2);
    format.rate = static_cast<long>(le32(body.data() + 4));
    format.block_align = le16(body.data() + 12);
    format.bits = le16(body.data() + 14);
    // The extensible header carries the real format in the first two bytes of its sub-format.
    if (format.tag == wav_format_extensible && body.size() >= 26)
        format.tag = le16(body.data() + 24);
    return true;
}

bool check_wav_format(const WavFormat& f, std::string& error)
{
    if (f.tag != wav_format_pcm) {
        error = "WAV format " + std::to_string(f.tag) + " is not PCM";
        return false;
    }
    if (f.channels != 1 && f.channels != 2) {
        error = std::to_string(f.channels) + " channels (only mono and stereo are played)";
        return false;
    }
    if (f.bits != 8 && f.bits != 16) {
        error = std::to_string(f.bits) + "-bit samples (only 8 and 16 bits are played)";
        return false;
    }
    if (f.block_align != f.channels * f.bits / 8) {
        error = "block size " + std::to_string(f.block_align) + " does not match the format";
        return false;
    }
    return rate_supported(f.rate, error);
}

// Finds the fmt and data chunks, checking that every chunk lies inside the file.
bool find_wav_chunks(std::span<const std::uint8_t> bytes, WavFormat& format,
                     std::span<const std::uint8_t>& data, std::string& error)
{
    bool have_fmt = false, have_data = false;
    std::size_t pos = 12;
    while (bytes.size() - pos >= 8) {
        const std::uint32_t size = le32(bytes.data() + pos + 4);
        const std::span<const std::uint8_t> id = bytes.subspan(pos, 4);
        pos += 8;
        if (size > bytes.size() - pos) {
            error = "chunk '" + std::string(id.begin(), id.end()) + "' of " + std::to_string(size) +
                    " bytes runs past the end of the file";
            return false;
        }
        const std::span<const std::uint8_t> body = bytes.subspan(pos, size);
        if (has_tag(id, 0, "fmt ")) {
            if (!parse_fmt_chunk(body, format, error)) return false;
            have_fmt = true;
        } else if (has_tag(id, 0, "data")) {
            data = body;
            have_data = true;
        }
        // Chunks are padded to an even size; the pad byte of the last one may be missing.
        pos += std::min<std::size_t>(size + (size & 1u), bytes.size() - pos);
    }
    if (!have_fmt)
        error = "no fmt chunk";
    else if (!have_data)
        error = "no data chunk";
    return have_fmt && have_data;
}

// 8-bit samples widened to 16 bits lose nothing: (p - 128) / 128 is (p - 128) * 256 / 32768.
std::int16_t wav_sample(const std::uint8_t* p, int bits)
{
    if (bits == 8) return static_cast<std::int16_t>((p[0] - 128) * 256);
    return static_cast<std::int16_t>(le16(p));
}

bool decode_wav(std::span<const std::uint8_t> bytes, SoundData& sound, std::string& error)
{
    WavFormat format;
    std::span<const std::uint8_t> data;
    if (!find_wav_chunks(bytes, format, data, error) || !check_wav_format(format, error))
        return false;
    const std::size_t count = data.size() / static_cast<std::size_t>(format.block_align);
    if (count == 0) {
        error = "no samples";
        return false;
    }
    const auto rate = static_cast<int>(format.rate);
    if (!length_supported(static_cast<std::int64_t>(count), rate, error)) return false;

    const auto sample_bytes = static_cast<std::size_t>(format.bits / 8);
    sound.channels = format.channels;
    std::vector<std::int16_t>& pcm = sound.pcm16;
    pcm.resize(count * static_cast<std::size_t>(format.channels));
    for (std::size_t s = 0; s < pcm.size(); ++s) pcm[s] = wav_sample(data.data() + s * sample_bytes, format.bits);
    if (rate == mixer_rate) return true;
    // Another rate is converted once, here; the in-between samples it makes need floats.
    std::vector<float> source(pcm.size());
    for (std::size_t s = 0; s < pcm.size(); ++s) source[s] = static_cast<float>(pcm[s]) / 32768.0f;
    pcm = {};
    sound.pcm_float = resample_to_mixer_rate(std::move(source), format.channels, rate);
    return true;
}

// ---- Ogg Vorbis ----

struct MemoryReader {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
};

std::size_t memory_read(void* ptr, std::size_t size, std::size_t count, void* source)
{
    auto* reader = static_cast<MemoryReader*>(source);
    if (size == 0) return 0;
    const std::size_t items = std::min(count, (reader->size - reader->pos) / size);
    std::memcpy(ptr, reader->data + reader->pos, items * size);
    reader->pos += items * size;
    return items;
}

int memory_seek(void* source, ogg_int64_t offset, int whence)
{
    auto* reader = static_cast<MemoryReader*>(source);
    ogg_int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<ogg_int64_t>(reader->pos);
    else if (whence == SEEK_END)
        base = static_cast<ogg_int64_t>(reader->size);
    else if (whence != SEEK_SET)
        return -1;
    if (offset < -base || offset > static_cast<ogg_int64_t>(reader->size) - base) return -1;
    reader->pos = static_cast<std::size_t>(base + offset);
    return 0;
}

long memory_tell(void* source)
{
    return static_cast<long>(static_cast<MemoryReader*>(source)->pos);
}

std::string vorbis_error(long code)
{
    switch (code) {
    case OV_EREAD:
        return "read error";
    case OV_ENOTVORBIS:
        return "not Vorbis data";
    case OV_EVERSION:
        return "unsupported Vorbis version";
    case OV_EBADHEADER:
        return "bad Vorbis header";
    case OV_EFAULT:
        return "internal decoder fault";
    case OV_HOLE:
        return "a gap in the Vorbis data";
    case OV_EBADLINK:
        return "a damaged Ogg link";
    case OV_EINVAL:
        return "invalid Vorbis stream";
    default:
        return "Vorbis error " + std::to_string(code);
    }
}

// An open decoder on bytes in memory. Not movable: the decoder keeps a pointer to the reader.
class OggFile {
public:
    OggFile() = default;
    OggFile(const OggFile&) = delete;
    OggFile& operator=(const OggFile&) = delete;
    ~OggFile()
    {
        if (open_) ov_clear(&file_);
    }

    bool open(std::span<const std::uint8_t> bytes, std::string& error)
    {
        reader_ = {bytes.data(), bytes.size(), 0};
        const ov_callbacks callbacks = {memory_read, memory_seek, nullptr, memory_tell};
        const int result = ov_open_callbacks(&reader_, &file_, nullptr, 0, callbacks);
        if (result < 0) {
            error = vorbis_error(result);
            return false;
        }
        open_ = true;
        const vorbis_info* info = ov_info(&file_, -1);
        if (!info || (info->channels != 1 && info->channels != 2)) {
            error = std::to_string(info ? info->channels : 0) +
                    " channels (only mono and stereo are played)";
            return false;
        }
        rate_ = static_cast<int>(info->rate);
        channels_ = info->channels;
        return rate_supported(info->rate, error);
    }

    int rate() const { return rate_; }
    int channels() const { return channels_; }

    // Appends up to max_frames decoded frames of out_channels (1 or 2); 0 at the end, negative on
    // damaged data. A later link of a chained file may differ: mono is spread, stereo averaged.
    long read(float* out, int max_frames, int out_channels = mixer_channels)
    {
        float** pcm = nullptr;
        int section = 0;
        const long got = ov_read_float(&file_, &pcm, max_frames, &section);
        if (got <= 0) return got;
        const vorbis_info* info = ov_info(&file_, section);
        const bool mono = !info || info->channels < 2;
        for (long i = 0; i < got; ++i) {
            if (out_channels == 1) {
                out[i] = mono ? pcm[0][i] : (pcm[0][i] + pcm[1][i]) * 0.5f;
                continue;
            }
            out[i * 2] = pcm[0][i];
            out[i * 2 + 1] = mono ? pcm[0][i] : pcm[1][i];
        }
        return got;
    }

    bool rewind() { return ov_pcm_seek(&file_, 0) == 0; }

private:
    MemoryReader reader_;
    OggVorbis_File file_{};
    bool open_ = false;
    int rate_ = 0;
    int channels_ = 0;
};

constexpr int ogg_read_frames = 4096;

bool decode_ogg(std::span<const std::uint8_t> bytes, SoundData& sound, std::string& error)
{
    OggFile file;
    if (!file.open(bytes, error)) return false;
    const int rate = file.rate();
    const int channels = file.channels();
    std::vector<float> samples;
    for (;;) {
        const std::size_t have = samples.size();
        samples.resize(have + static_cast<std::size_t>(ogg_read_frames * channels));
        const long got = file.read(samples.data() + have, ogg_read_frames, channels);
        samples.resize(have + static_cast<std::size_t>(std::max(got, 0L) * channels));
        if (got < 0) {
            error = vorbis_error(got);
            return false;
        }
        if (got == 0) break;
        if (!length_supported(static_cast<std::int64_t>(samples.size()) / channels, rate, error)) return false;
    }
    if (samples.empty()) {
        error = "no samples";
        return false;
    }
    sound.channels = channels;
    sound.pcm_float = resample_to_mixer_rate(std::move(samples), channels, rate);
    // Grown a chunk at a time, the buffer holds up to twice the sound; it is kept for the run.
    sound.pcm_float.shrink_to_fit();
    return true;
}

// One channel's decoder of a looping Ogg sound: at the end it seeks back to the first sample,
// which Vorbis does sample-exactly, so the loop has no gap.
class OggStream final : public SoundStream {
public:
    explicit OggStream(std::shared_ptr<const std::vector<std::uint8_t>> owned)
        : owned_(std::move(owned))
    {
    }

    bool open(std::span<const std::uint8_t> bytes, bool loop, std::string& error)
    {
        loop_ = loop;
        return file_.open(bytes, error);
    }

    int rate() const { return file_.rate(); }

    int read(float* out, int max_frames) override
    {
        int done = 0;
        while (!finished_ && done < max_frames) {
            const long got = file_.read(out + done * mixer_channels, max_frames - done);
            if (got > 0) {
                done += static_cast<int>(got);
                since_rewind_ += got;
                continue;
            }
            // A pass that produced nothing would spin forever; damaged data ends the sound.
            if (got == 0 && loop_ && since_rewind_ > 0 && file_.rewind()) {
                since_rewind_ = 0;
                continue;
            }
            finished_ = true;
        }
        return done;
    }

private:
    std::shared_ptr<const std::vector<std::uint8_t>> owned_;   // declared first: file_ reads it
    OggFile file_;
    bool loop_ = false;
    bool finished_ = false;
    long since_rewind_ = 0;
};

// Checks the stream can be opened and its first frames decoded, then keeps the bytes (or a copy)
// for the channels that will stream it.
bool prepare_ogg_stream(std::span<const std::uint8_t> bytes, SoundBytes lifetime, SoundData& sound,
                        std::string& error)
{
    std::shared_ptr<const std::vector<std::uint8_t>> owned;
    if (lifetime == SoundBytes::copied) {
        owned = std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
        bytes = std::span<const std::uint8_t>(*owned);
    }
    OggStream probe(nullptr);
    if (!probe.open(bytes, false, error)) return false;
    float first[mixer_channels * 64];
    if (probe.read(first, 64) <= 0) {
        error = "no samples";
        return false;
    }
    sound.stream_rate = probe.rate();
    const bool loop = sound.loop;
    sound.open_stream = [bytes, owned, loop]() -> std::unique_ptr<SoundStream> {
        auto stream = std::make_unique<OggStream>(owned);
        std::string ignored;
        if (!stream->open(bytes, loop, ignored)) return nullptr;
        return stream;
    };
    return true;
}

}  // namespace

std::unique_ptr<SoundData> try_decode_sound(std::span<const std::uint8_t> bytes,
                                            std::string_view name, int flags, SoundBytes lifetime,
                                            std::string& error)
{
    auto sound = std::make_unique<SoundData>();
    sound->name = std::string(name);
    sound->loop = (flags & 1) != 0;
    bool decoded = false;
    if (has_tag(bytes, 0, "RIFF") && has_tag(bytes, 8, "WAVE")) {
        decoded = decode_wav(bytes, *sound, error);
    } else if (has_tag(bytes, 0, "OggS")) {
        decoded = sound->loop ? prepare_ogg_stream(bytes, lifetime, *sound, error) : decode_ogg(bytes, *sound, error);
    } else {
        error = bytes.empty() ? "no data" : "neither a RIFF WAVE nor an Ogg file";
    }
    if (!decoded) return nullptr;
    return sound;
}

void exit_sound_decode_failure(std::string_view name, std::string_view why)
{
    std::fprintf(stderr, "kalventor: cannot decode embedded sound %.*s: %.*s\n",
                 static_cast<int>(name.size()), name.data(), static_cast<int>(why.size()),
                 why.data());
    std::exit(1);
}

std::unique_ptr<SoundData> decode_sound_or_exit(std::span<const std::uint8_t> bytes,
                                                std::string_view name, int flags,
                                                SoundBytes lifetime)
{
    std::string error;
    auto sound = try_decode_sound(bytes, name, flags, lifetime, error);
    if (!sound) exit_sound_decode_failure(name, error);
    return sound;
}
