// SPDX-License-Identifier: GPL-3.0-or-later
// The sound layer: the mixer's samples on synthetic sounds, the WAV and Ogg Vorbis decoders on
// bytes built here (or the small committed tones), and headless audio runs.
#include "platform/audio.h"
#include "platform/mixer.h"
#include "platform/sound_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

SoundData sound_of(std::vector<float> mono, bool loop = false)
{
    SoundData s;
    s.loop = loop;
    s.pcm_float = std::move(mono);
    return s;
}

std::vector<float> sine(float amplitude, double hz, int frames)
{
    std::vector<float> v(static_cast<std::size_t>(frames));
    for (int k = 0; k < frames; ++k)
        v[static_cast<std::size_t>(k)] = amplitude * static_cast<float>(std::sin(6.283185307 * hz * k / mixer_rate));
    return v;
}

// A decoded sound as interleaved stereo, the way the mixer hears it.
std::vector<float> stereo_of(const SoundData& s)
{
    std::vector<float> out;
    for (std::size_t k = 0; k < s.frame_count(); ++k) out.insert(out.end(), {s.sample(k, 0), s.sample(k, 1)});
    return out;
}

SoundData constant_sound(float value, std::size_t frames, bool loop = false)
{
    return sound_of(std::vector<float>(frames, value), loop);
}

// Frames k / 100 for k = 0..count-1: every output frame tells where the channel read.
SoundData ramp_sound(std::size_t count, bool loop = false)
{
    std::vector<float> v(count);
    for (std::size_t k = 0; k < count; ++k) v[k] = static_cast<float>(k) / 100.0f;
    return sound_of(v, loop);
}

std::vector<float> mix(Mixer& m, int frames)
{
    std::vector<float> out(static_cast<std::size_t>(frames) * 2);
    m.mix(out.data(), frames);
    return out;
}

std::uint32_t start(Mixer& m, const SoundData& s, float volume = 1, float rate = 1)
{
    const std::uint32_t id = m.add(s);
    m.set_volume(id, volume);
    m.set_rate(id, rate);
    m.resume(id);
    return id;
}

// Output frames until the channel has ended, one frame at a time.
int frames_until_end(Mixer& m, std::uint32_t id, int limit)
{
    int frames = 0;
    while (m.exists(id) && frames < limit) {
        mix(m, 1);
        ++frames;
    }
    return frames;
}

TEST(MixerVolume, CuedVolumeIsHeardFromTheFirstFrameAndChangesGlide)
{
    Mixer m;
    const SoundData s = constant_sound(0.6f, 10000);   // under the limiter's threshold
    const std::uint32_t id = start(m, s, 0.5f);
    const auto first = mix(m, 4);
    for (float v : first) EXPECT_FLOAT_EQ(v, 0.3f);

    m.set_volume(id, 1.0f);
    const auto glide = mix(m, mixer_ramp_frames + 10);
    EXPECT_LT(glide[0], 0.31f);   // no jump
    for (std::size_t k = 2; k < glide.size(); k += 2) {
        EXPECT_GE(glide[k], glide[k - 2]);
        EXPECT_LE(glide[k] - glide[k - 2], 0.6f / mixer_ramp_frames + 1e-6f);
    }
    EXPECT_FLOAT_EQ(glide.back(), 0.6f);

    m.set_volume(id, 7.0f);   // clamped to 1
    EXPECT_FLOAT_EQ(mix(m, mixer_ramp_frames).back(), 0.6f);
}

class MixerRate : public ::testing::TestWithParam<std::tuple<float, int>> {};

TEST_P(MixerRate, PlaysTheSoundInProportionallyFewerOrMoreFrames)
{
    const auto [rate, expected_frames] = GetParam();
    Mixer m;
    const SoundData s = constant_sound(0.5f, 1000);
    EXPECT_EQ(frames_until_end(m, start(m, s, 1, rate), 10000), expected_frames);
}

INSTANTIATE_TEST_SUITE_P(Rates, MixerRate,
                         ::testing::Values(std::tuple{1.0f, 1000}, std::tuple{2.0f, 500},
                                           std::tuple{0.5f, 2000}, std::tuple{3.0f, 334}));

TEST(MixerRateSamples, SlowRateInterpolatesBetweenFrames)
{
    Mixer m;
    const SoundData s = ramp_sound(10);
    start(m, s, 1, 0.5f);
    const auto out = mix(m, 6);
    const float expected[] = {0.0f, 0.005f, 0.01f, 0.015f, 0.02f, 0.025f};
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(out[k * 2], expected[k], 1e-6f) << k;
}

TEST(MixerRateSamples, RateChangeWhilePlayingGlides)
{
    Mixer m;
    const SoundData s = constant_sound(0.5f, 100000);
    const std::uint32_t id = start(m, s);
    mix(m, 10);
    m.set_rate(id, 2.0f);
    double before = m.position(id), step_before = 1.0;
    for (int k = 0; k < mixer_ramp_frames + 20; ++k) {
        mix(m, 1);
        const double step = m.position(id) - before;
        EXPECT_LE(step - step_before, 1.0 / mixer_ramp_frames + 1e-6);
        before = m.position(id);
        step_before = step;
    }
    EXPECT_NEAR(step_before, 2.0, 1e-6);
}

TEST(MixerPause, PausedChannelIsSilentAndContinuesWhereItHeld)
{
    Mixer m;
    const SoundData s = constant_sound(0.5f, 2000);
    const std::uint32_t id = m.add(s);
    EXPECT_FALSE(m.playing(id));
    for (float v : mix(m, 50)) EXPECT_EQ(v, 0.0f);   // cued, not started
    EXPECT_EQ(m.position(id), 0.0);

    m.resume(id);
    mix(m, 500);
    m.pause(id);
    EXPECT_FALSE(m.playing(id));
    const auto fade = mix(m, mixer_ramp_frames + 2);
    EXPECT_GT(fade[0], 0.49f);   // fading out, not cut off
    const double held = m.position(id);
    for (float v : mix(m, 3000)) EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(m.position(id), held);

    m.resume(id);
    const auto again = mix(m, 1);
    EXPECT_GT(again[0], 0.0f);
    EXPECT_EQ(m.position(id), held + 1);
    // Every source frame is read once, across the pause: the rest takes exactly what is left.
    EXPECT_EQ(frames_until_end(m, id, 10000), 2000 - static_cast<int>(held) - 1);
}

TEST(MixerLoop, LoopingSoundWrapsToItsStartWithoutAGap)
{
    Mixer m;
    const SoundData s = ramp_sound(70, true);   // under the limiter's threshold
    const std::uint32_t id = start(m, s);
    const auto out = mix(m, 250);
    for (int k = 0; k < 250; ++k) ASSERT_FLOAT_EQ(out[k * 2], static_cast<float>(k % 70) / 100.0f) << k;
    EXPECT_TRUE(m.exists(id));

    // At a rate that does not land on frame boundaries the seam interpolates into the first frame.
    Mixer m2;
    const SoundData flat = constant_sound(0.5f, 37, true);
    start(m2, flat, 1, 1.37f);
    for (float v : mix(m2, 1000)) ASSERT_FLOAT_EQ(v, 0.5f);
}

TEST(MixerChannels, StoppedChannelIsGoneAtOnceButFadesOutForTheEar)
{
    Mixer m;
    const SoundData s = constant_sound(0.5f, 10000);
    const std::uint32_t id = start(m, s);
    mix(m, 10);
    m.stop(id);
    EXPECT_FALSE(m.exists(id));
    m.resume(id);   // ignored: it does not come back
    const auto fade = mix(m, mixer_ramp_frames + 2);
    EXPECT_GT(fade[0], 0.49f);
    EXPECT_EQ(fade.back(), 0.0f);
    EXPECT_EQ(m.channel_count(), 0);

    const std::uint32_t cued = m.add(s);   // never heard: nothing to fade
    m.stop(cued);
    EXPECT_EQ(m.channel_count(), 0);
}

TEST(MixerChannels, StoppedEndedAndUnknownChannelsIgnoreOperations)
{
    Mixer m;
    const SoundData s = constant_sound(0.5f, 100);
    const std::uint32_t stopped = start(m, s);
    const std::uint32_t ended = start(m, s);
    m.stop(stopped);
    mix(m, 100 + mixer_ramp_frames);
    EXPECT_FALSE(m.exists(ended));
    EXPECT_EQ(m.channel_count(), 0);

    for (std::uint32_t id : {stopped, ended, 0u, 987654u}) {
        m.resume(id);
        m.pause(id);
        m.set_volume(id, 0.3f);
        m.set_rate(id, 2.0f);
        m.stop(id);
        EXPECT_FALSE(m.playing(id));
        EXPECT_EQ(m.position(id), -1.0);
    }
    for (float v : mix(m, 10)) EXPECT_EQ(v, 0.0f);
    EXPECT_GT(m.add(s), ended);   // ids are never reused
}

TEST(MixerChannels, OverTheCapTheOldestEffectIsDroppedNeverTheMusic)
{
    Mixer m;
    const SoundData music = constant_sound(0.0f, 1000, true);
    const SoundData effect = constant_sound(0.0f, 1000);
    const std::uint32_t music_id = start(m, music);
    std::vector<std::uint32_t> effects;
    for (int k = 0; k < mixer_max_channels + 10; ++k) effects.push_back(start(m, effect));
    EXPECT_EQ(m.channel_count(), mixer_max_channels);
    EXPECT_TRUE(m.exists(music_id));
    for (int k = 0; k < 11; ++k) EXPECT_FALSE(m.exists(effects[static_cast<std::size_t>(k)])) << k;
    EXPECT_TRUE(m.exists(effects[11]));
    EXPECT_TRUE(m.exists(effects.back()));
}

TEST(MixerLimit, LoudSumsStayUnderFullScaleAndQuietOnesPassUnchanged)
{
    constexpr int burst = 4410, length = 2 * mixer_rate;
    const SoundData quiet_a = sound_of(sine(0.4f, 220, length)), quiet_b = sound_of(sine(0.3f, 330, length));
    const SoundData blast = sound_of(sine(0.85f, 110, burst));   // -1.4 dBFS
    Mixer m;
    start(m, quiet_a);
    start(m, quiet_b);
    const auto calm = mix(m, mixer_rate / 2);
    for (std::size_t k = 0; k < calm.size(); k += 2)
        ASSERT_EQ(calm[k], quiet_a.pcm_float[k / 2] + quiet_b.pcm_float[k / 2]) << k;

    for (int n = 0; n < 8; ++n) start(m, blast);   // 6.8 at the crests, 7.5 with the music
    const auto loud = mix(m, burst);
    float highest = 0;
    for (std::size_t k = 0; k < loud.size(); ++k) {
        ASSERT_LT(std::abs(loud[k]), 0.999f) << k;   // what soundcheck counts as full scale
        highest = std::max(highest, std::abs(loud[k]));
    }
    EXPECT_GT(highest, 0.9f);   // turned down, not silenced

    // The gain comes back: a second after the burst the quiet sum is untouched again.
    mix(m, mixer_rate / 2);
    const auto after = mix(m, mixer_rate / 4);
    const std::size_t from = mixer_rate + burst;
    for (std::size_t k = 0; k < after.size(); k += 2)
        ASSERT_EQ(after[k], quiet_a.pcm_float[from + k / 2] + quiet_b.pcm_float[from + k / 2]) << k;
}

TEST(MixerLimit, SamplesDoNotDependOnHowTheOutputIsCutIntoBlocks)
{
    const SoundData blast = sound_of(sine(0.9f, 97, 3000));
    Mixer whole, pieces;
    for (Mixer* m : {&whole, &pieces})
        for (int n = 0; n < 3; ++n) start(*m, blast);
    const auto once = mix(whole, 3000);
    std::vector<float> cut;
    for (int k = 0; k < 3000; k += 7) {
        const auto part = mix(pieces, std::min(7, 3000 - k));
        cut.insert(cut.end(), part.begin(), part.end());
    }
    EXPECT_EQ(once, cut);
}

// A stream that hands out a ramp (k / 100) in small uneven pieces, to test the mixer's window.
class RampStream final : public SoundStream {
public:
    RampStream(int length, bool loop) : length_(length), loop_(loop) {}
    int read(float* out, int max_frames) override
    {
        int n = 0;
        for (; n < std::min(max_frames, 7); ++n) {
            if (next_ == length_) {
                if (!loop_) break;
                next_ = 0;
            }
            out[n * 2] = out[n * 2 + 1] = static_cast<float>(next_++) / 100.0f;
        }
        return n;
    }

private:
    int length_;
    bool loop_;
    int next_ = 0;
};

TEST(MixerStream, StreamedChannelReadsAcrossChunksLoopsAndEnds)
{
    SoundData looped;
    looped.loop = true;
    looped.open_stream = [] { return std::make_unique<RampStream>(50, true); };
    Mixer m;
    start(m, looped);
    const auto out = mix(m, 5000);
    for (int k = 0; k < 5000; ++k)
        ASSERT_FLOAT_EQ(out[k * 2], static_cast<float>(k % 50) / 100.0f) << k;

    SoundData once;
    once.open_stream = [] { return std::make_unique<RampStream>(300, false); };
    EXPECT_EQ(frames_until_end(m, start(m, once), 10000), 300);
    EXPECT_EQ(frames_until_end(m, start(m, once, 1, 0.5f), 10000), 600);
}

// ---- WAV ----

void put(Bytes& b, const char* tag)
{
    b.insert(b.end(), tag, tag + 4);
}
void put16(Bytes& b, int v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(Bytes& b, std::uint32_t v)
{
    put16(b, static_cast<int>(v & 0xFFFF));
    put16(b, static_cast<int>(v >> 16));
}

struct WavSpec {
    int format = 1, channels = 1, rate = 44100, bits = 16;
    int block_align = -1;                // -1: the right one
    std::uint32_t data_size_delta = 0;   // claimed data size minus actual
};

Bytes make_wav(const WavSpec& w, const std::vector<int>& samples)
{
    Bytes data;
    for (int v : samples) {
        if (w.bits == 8)
            data.push_back(static_cast<std::uint8_t>(v));
        else
            put16(data, v);
    }
    Bytes b;
    put(b, "RIFF");
    put32(b, 0);   // readers ignore the RIFF size, as ours does
    put(b, "WAVE");
    put(b, "LIST");   // an odd-sized chunk to skip, with its pad byte
    put32(b, 3);
    b.insert(b.end(), {'a', 'b', 'c', 0});
    put(b, "fmt ");
    put32(b, 16);
    put16(b, w.format);
    put16(b, w.channels);
    put32(b, static_cast<std::uint32_t>(w.rate));
    const int align = w.block_align >= 0 ? w.block_align : w.channels * w.bits / 8;
    put32(b, static_cast<std::uint32_t>(w.rate * align));
    put16(b, align);
    put16(b, w.bits);
    put(b, "data");
    put32(b, static_cast<std::uint32_t>(data.size()) + w.data_size_delta);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

std::unique_ptr<SoundData> decode(const Bytes& b, int flags, std::string& error)
{
    return try_decode_sound(b, "test", flags, SoundBytes::copied, error);
}

TEST(WavDecode, Mono8BitIsHeardOnBothSides)
{
    std::string error;
    const auto s = decode(make_wav({.bits = 8}, {0, 128, 255, 64}), 0, error);
    ASSERT_TRUE(s) << error;
    const std::vector<float> expected = {-1, -1, 0, 0, 127 / 128.0f, 127 / 128.0f, -0.5f, -0.5f};
    EXPECT_EQ(stereo_of(*s), expected);
    EXPECT_EQ(s->pcm16.size(), 4u);   // kept mono
    EXPECT_FALSE(s->streamed());
}

TEST(WavDecode, Stereo16BitKeepsBothChannels)
{
    std::string error;
    const auto s = decode(make_wav({.channels = 2}, {-32768, 32767, 1000, -1000}), 0, error);
    ASSERT_TRUE(s) << error;
    const std::vector<float> expected = {-1.0f, 32767 / 32768.0f, 1000 / 32768.0f,
                                         -1000 / 32768.0f};
    EXPECT_EQ(stereo_of(*s), expected);
}

// A 16-bit sound kept as it came is heard exactly as the floats it used to be turned into.
TEST(WavDecode, SixteenBitSamplesMixBitForBitAsTheirFloats)
{
    std::vector<int> samples;
    for (int k = 0; k < 3000; ++k) samples.push_back((k * 7919) % 65536 - 32768);
    std::string error;
    const auto kept = decode(make_wav({}, samples), 0, error);
    ASSERT_TRUE(kept) << error;
    SoundData floats;
    floats.channels = 2;
    floats.pcm_float = stereo_of(*kept);
    for (std::size_t k = 0; k < samples.size(); ++k) ASSERT_EQ(floats.pcm_float[2 * k], samples[k] / 32768.0f);
    Mixer a, b;
    start(a, *kept, 0.3f, 0.83f);
    start(b, floats, 0.3f, 0.83f);
    EXPECT_EQ(mix(a, 4000), mix(b, 4000));
}

TEST(WavDecode, OtherRatesAreConvertedAtLoad)
{
    std::vector<int> samples;
    for (int k = 0; k < 100; ++k) samples.push_back(k * 100);
    std::string error;
    const auto s = decode(make_wav({.rate = 22050}, samples), 0, error);
    ASSERT_TRUE(s) << error;
    ASSERT_EQ(s->frame_count(), 200u);
    EXPECT_FLOAT_EQ(s->sample(3, 1), 150 / 32768.0f);   // halfway between frames 1 and 2
    EXPECT_FLOAT_EQ(s->sample(198, 0), 9900 / 32768.0f);

    const auto fast = decode(make_wav({.rate = 88200}, samples), 0, error);
    ASSERT_TRUE(fast) << error;
    EXPECT_EQ(fast->frame_count(), 50u);
    EXPECT_FLOAT_EQ(fast->sample(10, 0), 2000 / 32768.0f);
}

TEST(WavDecode, MalformedFilesAreRejectedWithAReason)
{
    const std::vector<int> samples = {1, 2, 3, 4};
    const std::vector<Bytes> bad = {
        {},
        make_wav({.format = 3}, samples),
        make_wav({.channels = 3}, {1, 2, 3, 4, 5, 6}),
        make_wav({.bits = 24}, samples),
        make_wav({.rate = 0}, samples),
        make_wav({.rate = 1}, samples),
        make_wav({.block_align = 4}, samples),
        make_wav({.data_size_delta = 2}, samples),   // data runs past the end
        make_wav({}, {}),                            // no samples
        Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'},
    };
    for (std::size_t k = 0; k < bad.size(); ++k) {
        std::string error;
        EXPECT_FALSE(decode(bad[k], 0, error)) << k;
        EXPECT_FALSE(error.empty()) << k;
    }
}

TEST(WavDecode, EveryTruncationIsHandled)
{
    const Bytes whole = make_wav({.channels = 2}, std::vector<int>(64, 300));
    for (std::size_t n = 0; n < whole.size(); ++n) {
        std::string error;
        EXPECT_FALSE(
            decode(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)), 0, error))
            << n;
        EXPECT_FALSE(error.empty()) << n;
    }
}

TEST(WavDecode, DecodeFailureOfOurOwnMediaStopsTheProgramNamingTheFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const Bytes garbage = {'R', 'I', 'F', 'F', 9, 9};
    EXPECT_EXIT(decode_sound_or_exit(garbage, "data\\sound\\bonus.wav", 0, SoundBytes::permanent),
                ::testing::ExitedWithCode(1),
                "kalventor: cannot decode embedded sound data.sound.bonus.wav: ");
}

// ---- Ogg Vorbis ----

Bytes read_test_file(const std::string& name)
{
    std::ifstream in(std::string(KALVENTOR_SOURCE_DIR "/tests/data/") + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ToneShape {
    float peak = 0;
    int zero_crossings = 0;
};

ToneShape shape_of(const std::vector<float>& frames, int channel, std::size_t begin = 0,
                   std::size_t end = SIZE_MAX)
{
    ToneShape t;
    end = std::min(end, frames.size() / 2);
    for (std::size_t k = begin; k < end; ++k) {
        const float v = frames[k * 2 + static_cast<std::size_t>(channel)];
        t.peak = std::max(t.peak, std::abs(v));
        if (k > begin && (frames[(k - 1) * 2 + static_cast<std::size_t>(channel)] < 0) != (v < 0))
            ++t.zero_crossings;
    }
    return t;
}

TEST(OggDecode, MonoToneAt22050IsDecodedAndConverted)
{
    const Bytes bytes = read_test_file("tone.ogg");
    ASSERT_FALSE(bytes.empty());
    std::string error;
    const auto s = decode(bytes, 0, error);
    ASSERT_TRUE(s) << error;
    EXPECT_FALSE(s->streamed());
    EXPECT_EQ(s->frame_count(), 22050u);   // half a second at the mixer's rate
    const ToneShape left = shape_of(stereo_of(*s), 0);
    EXPECT_NEAR(left.peak, 0.5f, 0.05f);
    EXPECT_NEAR(left.zero_crossings, 440, 6);   // 440 Hz over 0.5 s
    EXPECT_EQ(s->channels, 1);                  // kept mono, heard on both sides
}

TEST(OggDecode, StereoToneKeepsItsTwoChannels)
{
    std::string error;
    const auto s = decode(read_test_file("tone_stereo.ogg"), 0, error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->frame_count(), 11025u);
    const std::vector<float> frames = stereo_of(*s);
    const ToneShape left = shape_of(frames, 0), right = shape_of(frames, 1);
    EXPECT_NEAR(left.peak, 0.5f, 0.05f);
    EXPECT_NEAR(right.peak, 0.25f, 0.04f);
    EXPECT_NEAR(left.zero_crossings, 220, 6);
    EXPECT_NEAR(right.zero_crossings, 440, 6);
}

TEST(OggDecode, LoopingSoundIsStreamedSeamlesslyAndMatchesTheDecodedOne)
{
    const Bytes bytes = read_test_file("tone.ogg");
    std::string error;
    const auto whole = decode(bytes, 0, error);
    const auto looped = decode(bytes, 1, error);
    ASSERT_TRUE(whole && looped) << error;
    EXPECT_TRUE(looped->streamed());
    EXPECT_EQ(looped->frame_count(), 0u);

    Mixer m;
    const std::uint32_t a = start(m, *looped, 0.5f);
    const std::uint32_t b = start(m, *looped, 0.5f);   // two channels, one sound
    constexpr int loop_frames = 22050;
    const auto out = mix(m, loop_frames * 3);
    EXPECT_TRUE(m.exists(a) && m.exists(b));
    for (int k = 0; k < loop_frames - 2; ++k)
        ASSERT_NEAR(out[static_cast<std::size_t>(k) * 2], whole->sample(static_cast<std::size_t>(k), 0), 1e-4f) << k;
    // Every pass repeats the first, right through the seams.
    for (int k = 0; k < loop_frames * 2; ++k)
        ASSERT_NEAR(out[static_cast<std::size_t>(k + loop_frames) * 2],
                    out[static_cast<std::size_t>(k) * 2], 0.02f)
            << k;
    EXPECT_NEAR(shape_of(out, 0, loop_frames - 500, loop_frames + 500).zero_crossings, 20, 2);
}

TEST(OggDecode, DamagedOggIsRejectedOrCutShortWithoutACrash)
{
    const Bytes bytes = read_test_file("tone.ogg");
    ASSERT_GT(bytes.size(), 1000u);
    for (std::size_t n : {std::size_t{4}, std::size_t{60}, std::size_t{300}}) {
        std::string error;
        const Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(decode(cut, 0, error)) << n;
        EXPECT_FALSE(decode(cut, 1, error)) << n;
    }
    Bytes garbage(bytes.begin(), bytes.begin() + 4);
    for (int k = 0; k < 3000; ++k) garbage.push_back(static_cast<std::uint8_t>(k * 37 + 11));
    std::string error;
    EXPECT_FALSE(decode(garbage, 0, error));
    EXPECT_FALSE(error.empty());
    // Cut anywhere in the audio pages: rejected, or a sound no longer than the whole one.
    for (std::size_t n = 0; n < bytes.size(); n += 97) {
        const auto s =
            decode(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)), 0, error);
        if (s) {
            EXPECT_LE(s->frame_count(), 22050u) << n;
        }
    }
}

// ---- Headless audio ----

Bytes constant_wav(int frames, int value)
{
    return make_wav({}, std::vector<int>(static_cast<std::size_t>(frames), value));
}

TEST(HeadlessAudio, ChannelEndsByItselfAfterItsLengthInGameFrames)
{
    audio_open(AudioOutput::headless);
    const Sound sound = load_sound_from_memory(constant_wav(735 * 6, 1000), "six_frames", 0);
    const Channel channel = cue_sound(sound);
    ASSERT_TRUE(channel);
    EXPECT_FALSE(channel_playing(channel));
    set_channel_volume(channel, 0.5f);
    resume_channel(channel);
    for (int frame = 0; frame < 5; ++frame) audio_advance_frame();
    EXPECT_TRUE(channel_playing(channel));
    audio_advance_frame();
    EXPECT_FALSE(channel_playing(channel));
    pause_channel(channel);   // a kept handle of an ended channel is harmless
    resume_channel(channel);
    stop_channel(channel);
    EXPECT_FALSE(channel_playing(Channel{}));
    EXPECT_NE(cue_sound(sound), channel);
    audio_close();
}

TEST(HeadlessAudio, MusicLoadedFromAFileLoopsUntilStopped)
{
    audio_open(AudioOutput::headless);
    const Sound music = load_sound(KALVENTOR_SOURCE_DIR "/tests/data/tone_stereo.ogg", 1);
    ASSERT_TRUE(music->streamed());
    const Channel channel = cue_sound(music);
    resume_channel(channel);
    for (int frame = 0; frame < 60; ++frame) audio_advance_frame();   // four times its length
    EXPECT_TRUE(channel_playing(channel));
    set_channel_rate(channel, 0.7f);   // slow motion
    audio_advance_frame();
    stop_channel(channel);
    EXPECT_FALSE(channel_playing(channel));
    audio_close();
}

TEST(HeadlessAudio, MissingEmbeddedSoundStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(load_sound("incbin::data\\sound\\no_such_sound.wav", 0),
                ::testing::ExitedWithCode(1),
                "cannot decode embedded sound data.sound.no_such_sound.wav: no such embedded file");
}

TEST(HeadlessAudio, RecordingHoldsEverythingMixed)
{
    const std::filesystem::path path =
        std::filesystem::path(::testing::TempDir()) / "kalventor_mixer_record.wav";
    std::filesystem::remove(path);
    audio_record_to(path.string());
    audio_open(AudioOutput::headless);
    const Channel channel =
        cue_sound(load_sound_from_memory(constant_wav(735, 16384), "one_frame", 0));
    resume_channel(channel);
    for (int frame = 0; frame < 3; ++frame) audio_advance_frame();
    EXPECT_FALSE(std::filesystem::exists(path));   // only complete recordings appear
    audio_close();

    std::ifstream in(path, std::ios::binary);
    const Bytes wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(wav.size(), 44u + 3 * 735 * 4);
    EXPECT_FALSE(std::filesystem::exists(path.string() + ".tmp"));
    std::string error;
    const auto back = try_decode_sound(wav, "recording", 0, SoundBytes::copied, error);
    ASSERT_TRUE(back) << error;
    ASSERT_EQ(back->frame_count(), 3u * 735);
    EXPECT_NEAR(back->sample(0, 0), 0.5f, 1e-3f);
    EXPECT_NEAR(back->sample(734, 1), 0.5f, 1e-3f);
    EXPECT_EQ(back->sample(735, 0), 0.0f);
    std::filesystem::remove(path);
}

TEST(HeadlessAudio, NoAudioDriverMeansSilenceNotFailure)
{
    setenv("SDL_AUDIODRIVER", "kalventor_no_such_driver", 1);
    audio_open(AudioOutput::device);
    unsetenv("SDL_AUDIODRIVER");
    const Channel channel = cue_sound(load_sound_from_memory(constant_wav(735, 1000), "short", 0));
    resume_channel(channel);
    EXPECT_TRUE(channel_playing(channel));
    audio_advance_frame();   // without a device the frames still drive the mixer
    EXPECT_FALSE(channel_playing(channel));
    audio_close();
}

}  // namespace
