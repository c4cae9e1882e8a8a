// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio.h"
#include "platform/program.h"

#include "platform/embedded_files.h"
#include "platform/mixer.h"
#include "platform/sound_decode.h"
#include "platform/stream.h"

#include <SDL.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::string_view incbin_prefix = "incbin::";
constexpr int frames_per_game_frame = mixer_rate / 60;   // 735
constexpr int device_buffer_frames = 1024;               // ~23 ms: short enough to feel immediate
constexpr std::size_t wav_header_bytes = 44;
// A sound file read from disk larger than this is not one of ours.
constexpr std::streamoff max_sound_file_bytes = 256 << 20;

enum class AudioState {
    closed,
    device,   // an SDL device pulls frames from the mixer on its own thread
    silent,   // headless, or no device to be had: audio_advance_frame drives the mixer
};

// What a headless run mixed, written to a temporary file as it goes and renamed into place when
// audio closes, so a reader never finds half a recording under the final name.
struct Recording {
    std::string path;
    std::string temp_path;
    std::FILE* file = nullptr;
    std::uint64_t data_bytes = 0;
    bool failed = false;
};

struct AudioSystem {
    // Declared first so it is destroyed last: the mixer's channels read these sounds.
    std::vector<std::unique_ptr<SoundData>> sounds;
    Mixer mixer;
    AudioState state = AudioState::closed;
    SDL_AudioDeviceID device = 0;
    std::vector<float> scratch = std::vector<float>(frames_per_game_frame * mixer_channels);
    std::vector<std::int16_t> scratch_s16 = std::vector<std::int16_t>(scratch.size());
    Recording recording;

    // Closes the device before anything it reads is destroyed, should the run end without
    // audio_close.
    ~AudioSystem();
    void close_output();
};

AudioSystem& audio()
{
    static AudioSystem system;
    return system;
}

// Holds the device's lock for the scope, so a channel operation lands between two callbacks.
class DeviceLock {
public:
    explicit DeviceLock(const AudioSystem& a)
        : device_(a.state == AudioState::device ? a.device : 0)
    {
        if (device_) SDL_LockAudioDevice(device_);
    }
    ~DeviceLock()
    {
        if (device_) SDL_UnlockAudioDevice(device_);
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID device_;
};

void SDLCALL mix_into_device(void* userdata, Uint8* stream, int bytes)
{
    const int frames = bytes / static_cast<int>(sizeof(float) * mixer_channels);
    static_cast<Mixer*>(userdata)->mix(reinterpret_cast<float*>(stream), frames);
}

// Any failure here means the game plays silently: sound is never a reason not to run.
bool open_device(AudioSystem& a)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{};
    want.freq = mixer_rate;
    want.format = AUDIO_F32SYS;
    want.channels = mixer_channels;
    want.samples = device_buffer_frames;
    want.callback = mix_into_device;
    want.userdata = &a.mixer;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to whatever the hardware wants behind the callback.
    a.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (a.device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(a.device, 0);
    return true;
}

void put_le16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void put_le32(std::uint8_t* p, std::uint32_t v)
{
    put_le16(p, v & 0xFFFFu);
    put_le16(p + 2, v >> 16);
}

std::array<std::uint8_t, wav_header_bytes> wav_header(std::uint32_t data_bytes)
{
    constexpr std::uint32_t bytes_per_frame = mixer_channels * 2;
    std::array<std::uint8_t, wav_header_bytes> h{};
    std::memcpy(h.data(), "RIFF", 4);
    put_le32(h.data() + 4, 36 + data_bytes);
    std::memcpy(h.data() + 8, "WAVEfmt ", 8);
    put_le32(h.data() + 16, 16);
    put_le16(h.data() + 20, 1);   // PCM
    put_le16(h.data() + 22, mixer_channels);
    put_le32(h.data() + 24, mixer_rate);
    put_le32(h.data() + 28, mixer_rate * bytes_per_frame);
    put_le16(h.data() + 32, bytes_per_frame);
    put_le16(h.data() + 34, 16);
    std::memcpy(h.data() + 36, "data", 4);
    put_le32(h.data() + 40, data_bytes);
    return h;
}

void report_recording_failure(const Recording& r)
{
    report_write_failure(r.path, std::strerror(errno));
}

void start_recording(Recording& r, std::string_view path)
{
    r = Recording{};
    r.path = std::string(path);
    r.temp_path = r.path + ".tmp";
    if (const std::string refusal = replace_refusal(r.path); !refusal.empty()) {
        report_write_failure(r.path, refusal);
        r.failed = true;
        return;
    }
    r.file = std::fopen(r.temp_path.c_str(), "wb");
    const auto header = wav_header(0);
    if (!r.file || std::fwrite(header.data(), 1, header.size(), r.file) != header.size()) {
        report_recording_failure(r);
        r.failed = true;
    }
}

void append_recording(Recording& r, const std::int16_t* samples, std::size_t count)
{
    if (!r.file || r.failed) return;
    const std::size_t bytes = count * sizeof(std::int16_t);
    // A RIFF file cannot describe more than 4 GB; a run that long keeps its first 4 GB.
    if (r.data_bytes + bytes > 0xFFFFFFFFu - 36) return;
    // The samples are little-endian on every machine the game is built for.
    if (std::fwrite(samples, 1, bytes, r.file) != bytes) {
        report_recording_failure(r);
        r.failed = true;
        return;
    }
    r.data_bytes += bytes;
}

void finish_recording(Recording& r)
{
    if (!r.file) return;
    const auto header = wav_header(static_cast<std::uint32_t>(r.data_bytes));
    const bool written = !r.failed && std::fseek(r.file, 0, SEEK_SET) == 0 &&
                         std::fwrite(header.data(), 1, header.size(), r.file) == header.size() &&
                         std::fflush(r.file) == 0 && fsync(fileno(r.file)) == 0;
    const bool closed = std::fclose(r.file) == 0;
    r.file = nullptr;
    if (written && closed && std::rename(r.temp_path.c_str(), r.path.c_str()) == 0) return;
    if (!r.failed) report_recording_failure(r);
    std::remove(r.temp_path.c_str());
}

void AudioSystem::close_output()
{
    {
        DeviceLock lock(*this);
        mixer.stop_all();
    }
    if (state == AudioState::device) {
        SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device = 0;
    }
    state = AudioState::closed;
}

AudioSystem::~AudioSystem()
{
    close_output();
    finish_recording(recording);
}

Sound keep(std::unique_ptr<SoundData> sound)
{
    audio().sounds.push_back(std::move(sound));
    return audio().sounds.back().get();
}

bool read_sound_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || size > max_sound_file_bytes) {
        error = "file size out of range";
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = "read error";
        return false;
    }
    return true;
}

}  // namespace

void audio_open(AudioOutput output)
{
    AudioSystem& a = audio();
    a.close_output();
    if (output == AudioOutput::device && open_device(a))
        a.state = AudioState::device;
    else
        a.state = AudioState::silent;
}

void audio_close()
{
    AudioSystem& a = audio();
    a.close_output();
    finish_recording(a.recording);
}

void audio_advance_frame()
{
    // Without a device (headless, or none to be had) the game's frames drive the mixer, so
    // channels still end when they would have been heard to end.
    AudioSystem& a = audio();
    if (a.state == AudioState::device) return;
    a.mixer.mix(a.scratch.data(), frames_per_game_frame);
    if (!a.recording.file) return;
    mixer_to_s16(a.scratch.data(), a.scratch_s16.data(), static_cast<int>(a.scratch.size()));
    append_recording(a.recording, a.scratch_s16.data(), a.scratch_s16.size());
}

void audio_record_to(std::string_view wav_path)
{
    AudioSystem& a = audio();
    finish_recording(a.recording);
    start_recording(a.recording, wav_path);
}

Sound load_sound(std::string_view path, int flags)
{
    if (path.starts_with(incbin_prefix)) {
        const std::string_view name = path.substr(incbin_prefix.size());
        if (!embedded_file_exists(name)) exit_sound_decode_failure(name, "no such embedded file");
        return keep(
            decode_sound_or_exit(find_embedded_file(name), name, flags, SoundBytes::permanent));
    }
    const std::string file(path);
    std::vector<std::uint8_t> bytes;
    std::string error;
    std::unique_ptr<SoundData> sound;
    if (read_sound_file(file, bytes, error))
        sound = try_decode_sound(bytes, file, flags, SoundBytes::copied, error);
    if (!sound) {
        std::fprintf(stderr, "kalventor: cannot decode sound file %s: %s\n", file.c_str(),
                     error.c_str());
        std::exit(1);
    }
    return keep(std::move(sound));
}

Sound load_sound_from_memory(std::span<const std::uint8_t> bytes, std::string_view name, int flags)
{
    return keep(decode_sound_or_exit(bytes, name, flags, SoundBytes::copied));
}

Channel cue_sound(Sound sound)
{
    if (!sound) return {};
    AudioSystem& a = audio();
    // Opening a decoder parses the Vorbis headers: done before the lock, not while holding it.
    std::unique_ptr<SoundStream> stream = sound->streamed() ? sound->open_stream() : nullptr;
    DeviceLock lock(a);
    return Channel{a.mixer.add(*sound, std::move(stream))};
}

void resume_channel(Channel channel)
{
    if (!channel) return;
    DeviceLock lock(audio());
    audio().mixer.resume(channel.id);
}

void pause_channel(Channel channel)
{
    if (!channel) return;
    DeviceLock lock(audio());
    audio().mixer.pause(channel.id);
}

void stop_channel(Channel channel)
{
    if (!channel) return;
    DeviceLock lock(audio());
    audio().mixer.stop(channel.id);
}

void set_channel_volume(Channel channel, float volume)
{
    if (!channel) return;
    DeviceLock lock(audio());
    audio().mixer.set_volume(channel.id, volume);
}

void set_channel_rate(Channel channel, float rate)
{
    if (!channel) return;
    DeviceLock lock(audio());
    audio().mixer.set_rate(channel.id, rate);
}

bool channel_playing(Channel channel)
{
    if (!channel) return false;
    DeviceLock lock(audio());
    return audio().mixer.playing(channel.id);
}
