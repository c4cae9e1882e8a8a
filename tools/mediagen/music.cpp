// SPDX-License-Identifier: GPL-3.0-or-later
// The four music tracks, composed here: a chord progression per style, a bass line, pads,
// arpeggios, a melody grown from a seeded motif and a drum kit, rendered into a loop whose
// tails wrap around to the start so the track repeats without a seam.
#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "canvas.h"
#include "loop_buffer.h"
#include "measures.h"
#include "sounds.h"

namespace mediagen {

namespace {

// Each tune is a place: its own kit, its own tone and its own form.
enum class Kit {
    hall,      // the menu: a felt heartbeat, a shaker, bells ringing in a large room
    foundry,   // METAL: a tight machine kit, clanging snare, metallic hats, anvil strikes
    fire,      // VOLCANO: deep drums and war toms, no cymbals, a dark and heavy low end
    signal,    // ALIEN: a sub kick, zaps instead of a snare, clicks, stray blips in the echo
};

struct Style {
    float bpm;
    int root;                       // MIDI note of the key's tonic (bass octave + 24 for the lead)
    std::array<int, 7> scale;       // semitone offsets of the mode
    std::array<int, 8> progression; // scale degree (0..6) of each bar's chord in an 8-bar cycle
    int bars;
    const char* kick;               // 16 steps per bar, 'x' hit, '.' rest
    const char* snare;
    const char* hat;
    const char* bass;               // 'r' root, 'o' octave, 'f' fifth, '.' rest
    int lead;                       // 0 pulse, 1 bell, 2 saw brass, 3 theremin
    float swing;
    std::uint32_t seed;
    float pad_level, arp_level, lead_level, bass_level, drum_level;
    // One letter per section: I intro (drums and bass), A, B, a and b (an octave up), D
    // breakdown (no drums but the kit's own percussion), H half time.
    const char* plan;
    int section_bars;
    bool bell_arp;
    float duck;                     // how far the pads and arpeggio dip under each kick
    Kit kit;
    const char* perc;                      // the kit's own voice: shaker, anvil, tom or blip
    float tone_low, tone_mid, tone_high;   // gains of the bands under 250 Hz, to 2.5 kHz, above
};

const std::array<int, 7> minor{0, 2, 3, 5, 7, 8, 10};
const std::array<int, 7> dorian{0, 2, 3, 5, 7, 9, 10};
const std::array<int, 7> phrygian{0, 1, 3, 5, 7, 8, 10};
const std::array<int, 7> lydian{0, 2, 4, 6, 7, 9, 11};

const Style styles[4] = {
    // main menu: a calm D lydian hall, bells over pads, no drum kit at all
    {84,
     38,
     lydian,
     {0, 1, 4, 0, 5, 1, 3, 4},
     24,
     "x...............",
     "................",
     "................",
     "r.......f.......",
     1,
     0.08f,
     7,
     1.0f,
     0.6f,
     0.5f,
     0.35f,
     0.5f,
     "ABA",
     8,
     true,
     0.0f,
     Kit::hall,
     "..x...x...x...x.",
     0.3f,
     1.0f,
     2.4f},
    // track 1 (METAL): a driving E minor foundry, pulse lead, verse-verse-chorus twice and a
    // half-time bridge
    {126,
     40,
     minor,
     {0, 5, 2, 6, 0, 5, 3, 4},
     32,
     "x...x...x...x...",
     "....x.......x...",
     "x.xxx.xxx.xxx.xx",
     "r.ro.rr.r.ro.rfo",
     0,
     0.0f,
     11,
     0.5f,
     0.35f,
     0.55f,
     0.8f,
     0.8f,
     "IAABAABH",
     4,
     false,
     0.45f,
     Kit::foundry,
     "..x.......x..x..",
     0.9f,
     1.15f,
     1.3f},
    // track 2 (VOLCANO): heavy C phrygian, brass lead over war drums; a long drum intro, and
    // the last section lifted an octave
    {138,
     36,
     phrygian,
     {0, 1, 0, 6, 0, 1, 5, 6},
     40,
     "x..x..x...x..x..",
     "....x.......x..x",
     "................",
     "rr.rr.ro.rr.fr.o",
     2,
     0.0f,
     23,
     0.55f,
     0.2f,
     0.75f,
     0.8f,
     0.9f,
     "IAHBb",
     8,
     false,
     0.5f,
     Kit::fire,
     "x.x.xx..x.x.x.xx",
     1.3f,
     1.0f,
     0.2f},
    // track 3 (ALIEN): F# minor floating over a sub kick, a theremin lead and blips in the
    // echo; it opens and breaks in the middle without drums
    {116,
     42,
     minor,
     {0, 3, 6, 2, 0, 3, 5, 4},
     32,
     "x.....x...x.....",
     "....x.......x...",
     "..xx..xx..xx..xx",
     "r..or..fr..or.f.",
     3,
     0.12f,
     31,
     0.5f,
     0.6f,
     0.5f,
     0.9f,
     0.6f,
     "DAABDDBa",
     4,
     true,
     0.3f,
     Kit::signal,
     "x..x...x..x..x..",
     0.6f,
     0.4f,
     3.0f},
};

template <class F>
Samples voice(float seconds, F f) {
    Samples s(std::size_t(frames_for(seconds)));
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = f(float(i) / sr);
    return s;
}

Samples kick(float punch) {
    Osc o;
    return voice(0.4f, [&](float t) {
        float f = 45 + 110 * std::exp(-t * 35);
        // the click gets a short ramp too: a hit on the loop's first sample must not jump
        float click = 0.3f * std::exp(-t * 400) * std::min(1.0f, t / 0.0015f);
        return std::tanh(1.6f * o.sine(f) * env_perc(t, 0.0015f, 0.12f * punch)) + click;
    });
}

Samples snare(std::uint32_t seed, float tone) {
    Noise n(seed);
    Svf bp;
    Osc o;
    return voice(0.3f, [&](float t) {
        return 0.8f * bp.process_band(n.next(), 3200, 0.8f) * env_perc(t, 0.001f, 0.07f) +
               0.5f * o.sine(tone * (1 + 0.3f * std::exp(-t * 50))) * env_perc(t, 0.001f, 0.05f);
    });
}

Samples bass_note(float freq, float len, int style) {
    Osc a, b;
    Svf lp;
    return voice(len + 0.05f, [&](float t) {
        float s = a.saw(freq) * 0.6f + b.square(freq * 0.5f, 0.5f) * 0.4f;
        float cutoff = 180 + 1400 * std::exp(-t * 9);
        if (style == 3) cutoff = 250 + 700 * (0.5f + 0.5f * std::sin(t * two_pi * 3.5f));
        s = lp.process_low(s, cutoff, 1.4f);
        if (style == 2) s = std::tanh(s * 2.5f) * 0.6f;
        return s * env_gate(t, 0.004f, len, 0.04f);
    });
}

Samples pad_note(float freq, float len) {
    Osc o[3];
    Svf lp;
    return voice(len + 0.8f, [&](float t) {
        float s = o[0].saw(freq * 0.996f) + o[1].saw(freq) + o[2].saw(freq * 1.005f);
        s = lp.process_low(s, 900 + 300 * std::sin(t * 1.3f), 0.6f);
        return s * 0.33f * env_gate(t, 0.35f, len, 0.7f);
    });
}

Samples pluck(float freq, bool bell) {
    Osc a, m;
    Svf lp;
    return voice(0.45f, [&](float t) {
        if (bell) return a.sine(freq * (1 + 0.8f * m.sine(freq * 2.0f) * std::exp(-t * 12))) * env_perc(t, 0.002f, 0.16f);
        float s = lp.process_low(a.saw(freq), 300 + 5000 * std::exp(-t * 25), 0.9f);
        return s * env_perc(t, 0.002f, 0.12f);
    });
}

Samples crash(std::uint32_t seed) {
    Noise n(seed);
    Svf hp;
    return voice(1.6f, [&](float t) { return hp.process_high(n.next(), 5000, 0.7f) * env_perc(t, 0.002f, 0.45f); });
}

Samples lead_note(float freq, float len, int kind) {
    Osc a, m;
    Svf lp;
    return voice(len + 0.3f, [&](float t) {
        float v = 1 + 0.006f * std::sin(t * two_pi * 5.5f) * smoothstep(0.1f, 0.4f, t);
        float f = freq * v;
        float s;
        if (kind == 1) {  // FM bell
            s = a.sine(f * (1 + 0.5f * m.sine(f * 3.5f) * std::exp(-t * 6)));
            return s * env_perc(t, 0.003f, 0.45f) * env_gate(t, 0.0f, len + 0.2f, 0.1f);
        }
        if (kind == 3) {  // a theremin-like voice with a wide, slow vibrato
            float wide = f * (1 + 0.012f * std::sin(t * two_pi * 4.5f) * smoothstep(0.05f, 0.3f, t));
            s = a.sine(wide) + 0.25f * m.sine(wide * 2);
            return s * 0.8f * env_gate(t, 0.05f, len, 0.2f);
        }
        if (kind == 0) s = a.square(f, 0.3f + 0.1f * std::sin(t * 3));
        else s = a.saw(f) * 0.7f + m.saw(f * 1.004f) * 0.5f;
        s = lp.process_low(s, (kind == 2 ? 800 : 1600) + 2500 * std::exp(-t * 6), 1.1f);
        return s * env_gate(t, 0.01f, len, 0.12f);
    });
}

// The kits' own voices.
Samples heartbeat()
{
    Osc o;
    return voice(0.5f, [&](float t) { return o.sine(52 + 18 * std::exp(-t * 20)) * env_perc(t, 0.008f, 0.14f); });
}

Samples shaker(std::uint32_t seed)
{
    Noise n(seed);
    Svf bp;
    return voice(0.15f, [&](float t) { return bp.process_band(n.next(), 6500, 1.5f) * env_perc(t, 0.004f, 0.03f); });
}

// A snare struck on sheet metal: a crack of noise and three clanging modes.
Samples clang_snare(std::uint32_t seed)
{
    Noise n(seed);
    Svf bp;
    Osc m[3];
    const float hz[3] = {540, 812, 1247};
    return voice(0.35f, [&](float t) {
        float ring = 0;
        for (int i = 0; i < 3; ++i) ring += m[i].sine(hz[i]) * env_perc(t, 0.001f, 0.09f / (1 + i * 0.5f));
        return 0.8f * bp.process_band(n.next(), 2500, 0.9f) * env_perc(t, 0.001f, 0.06f) + 0.35f * ring;
    });
}

// Gentle high-pass for the kits' metal: the state-variable filter rings at these corners.
struct OnePoleHigh {
    float k, low = 0;
    explicit OnePoleHigh(float hz) : k(1 - std::exp(-two_pi * hz / sr)) {}
    float run(float x) { return x - (low += k * (x - low)); }
};

// Six detuned square waves through a high-pass: a cymbal of machine parts.
Samples metal_hat(float decay)
{
    Osc o[6];
    OnePoleHigh hp(6000), hp2(6000);
    const float hz[6] = {263, 400, 421, 531, 588, 836};
    return voice(decay * 5, [&](float t) {
        float s = 0;
        for (int i = 0; i < 6; ++i) s += o[i].square(hz[i] * 1.7f);
        return hp2.run(hp.run(s / 6)) * env_perc(t, 0.0005f, decay);
    });
}

Samples anvil()
{
    Osc o[4];
    const float hz[4] = {1180, 2870, 4130, 5400};
    return voice(0.6f, [&](float t) {
        float s = 0;
        for (int i = 0; i < 4; ++i) s += o[i].sine(hz[i]) * env_perc(t, 0.0005f, 0.2f / (1 + i)) / (1 + 0.5f * i);
        return s;
    });
}

// A war drum: a deep skin that drops in pitch, with the thud of the stick.
Samples war_tom(float hz, std::uint32_t seed)
{
    Osc o;
    Noise n(seed);
    Svf lp;
    return voice(0.7f, [&](float t) {
        float skin = std::tanh(1.5f * o.sine(hz * (1 + 0.5f * std::exp(-t * 25)))) * env_perc(t, 0.002f, 0.22f);
        return skin + 0.5f * lp.process_low(n.next(), 400, 0.8f) * env_perc(t, 0.001f, 0.03f);
    });
}

Samples sub_kick()
{
    Osc o;
    return voice(0.6f, [&](float t) { return o.sine(44 + 40 * std::exp(-t * 30)) * env_perc(t, 0.003f, 0.28f); });
}

// A zap where a snare would be: a falling FM chirp.
Samples zap()
{
    Osc a, m;
    return voice(0.2f, [&](float t) {
        float f = 2400 * std::exp(-t * 40) + 180;
        return a.sine(f * (1 + 0.6f * m.sine(f * 1.5f))) * env_perc(t, 0.001f, 0.05f);
    });
}

Samples tick(std::uint32_t seed, float decay)
{
    Noise n(seed);
    OnePoleHigh hp(7000);
    return voice(decay * 6 + 0.01f, [&](float t) { return hp.run(n.next()) * env_perc(t, 0.0003f, decay); });
}

Samples blip(float freq)
{
    Osc a, m;
    return voice(0.25f,
                 [&](float t) { return a.sine(freq * (1 + 0.3f * m.sine(freq * 3))) * env_perc(t, 0.002f, 0.05f); });
}

// Melody: a two-bar motif of rhythm and scale steps, repeated with variations; strong beats
// are pulled onto chord tones.
struct Note {
    int step;       // 16th step within the phrase (0..31)
    int length;     // in 16ths
    int degree;     // scale degree relative to the key (may exceed 7 = next octave)
};

std::vector<Note> motif(Rng& rng) {
    std::vector<Note> notes;
    int step = 0, degree = 7 + rng.range(0, 4);
    while (step < 32) {
        int len = std::array<int, 5>{2, 2, 4, 4, 6}[std::size_t(rng.range(0, 4))];
        if (step + len > 32) len = 32 - step;
        if (rng.range(0, 5) == 0 && step > 0) {
            step += len;  // a rest
            continue;
        }
        degree += rng.range(-2, 2);
        degree = std::clamp(degree, 4, 12);
        notes.push_back({step, len, degree});
        step += len;
    }
    return notes;
}

int scale_note(const Style& s, int degree) {
    int octave = degree >= 0 ? degree / 7 : -((6 - degree) / 7);
    int d = degree - octave * 7;
    return s.root + 12 * octave + s.scale[std::size_t(d)];
}

}  // namespace

Audio compose_track(int index, int bars_override) {
    const Style& s = styles[index];
    const int bars = bars_override > 0 ? bars_override : s.bars;
    const double step_sec = 60.0 / s.bpm / 4;
    const std::size_t frames = std::size_t(std::llround(step_sec * 16 * bars * sr));
    // dry: drums and bass; soft: pads and arpeggio (ducked under the kick); sends to the
    // echo and the reverb
    Loop dry(frames), soft(frames), echo_send(frames), verb_send(frames);
    Rng rng(s.seed);
    auto at = [&](int bar, int step) {
        double t = (bar * 16 + step) * step_sec;
        if (step % 2 == 1) t += s.swing * step_sec;
        return std::size_t(std::llround(t * sr)) % frames;
    };
    // the kit of this place: kick, snare, closed and open hat, crash and its own voices
    Samples k, sn, hh, oh, cr;
    std::vector<Samples> perc;
    switch (s.kit) {
    case Kit::hall:
        k = heartbeat();
        perc = {shaker(s.seed + 5)};
        break;
    case Kit::foundry:
        k = kick(1.0f), sn = clang_snare(s.seed + 1), hh = metal_hat(0.025f), oh = metal_hat(0.1f);
        cr = crash(s.seed + 4);
        perc = {anvil()};
        break;
    case Kit::fire:
        k = kick(1.6f), sn = snare(s.seed + 1, 140.0f);
        perc = {war_tom(98, s.seed + 6), war_tom(131, s.seed + 7), war_tom(73, s.seed + 8)};
        break;
    case Kit::signal:
        k = sub_kick(), sn = zap(), hh = tick(s.seed + 2, 0.004f), oh = tick(s.seed + 3, 0.03f);
        for (int d = 0; d < 7; ++d) perc.push_back(blip(note_freq(float(scale_note(s, d) + 60))));
        break;
    }
    std::vector<Note> phrase_a = motif(rng), phrase_b = motif(rng);
    std::vector<float> duck(frames, 1.0f);
    const int plan_len = int(std::string_view(s.plan).size());

    for (int bar = 0; bar < bars; ++bar) {
        const char section = s.plan[(bar / s.section_bars) % plan_len];
        const bool intro = section == 'I', breakdown = section == 'D', half = section == 'H';
        const bool section_start = bar % s.section_bars == 0, section_end = bar % s.section_bars == s.section_bars - 1;
        int degree = s.progression[std::size_t(bar % 8)];
        int chord[3] = {degree, degree + 2, degree + 4};  // chord tones as scale degrees
        float bar_len = float(step_sec * 16);

        if (!intro)
            for (int c = 0; c < 3; ++c) {
                float f = note_freq(float(scale_note(s, chord[c]) + 24));
                Samples pad = pad_note(f, bar_len);
                soft.add(pad, at(bar, 0), -0.5f + 0.5f * c, 0.16f * s.pad_level);
                verb_send.add(pad, at(bar, 0), -0.5f + 0.5f * c, 0.06f * s.pad_level);
            }
        for (int st = 0; st < 16; ++st) {
            char b = s.bass[st];
            if (b == '.' || ((breakdown || half) && st % 4 != 0)) continue;
            int len = 1;
            while (st + len < 16 && s.bass[st + len] == '.') ++len;
            int note = scale_note(s, degree) + (b == 'o' ? 12 : 0) + (b == 'f' ? 7 : 0);
            int held = std::min(len, index == 0 ? 8 : 2);  // the calm menu lets its bass ring
            dry.add(bass_note(note_freq(float(note)), float(step_sec * held * 0.95), index), at(bar, st), 0,
                    0.35f * s.bass_level * (st % 4 == 0 ? 1.0f : 0.85f));
        }
        if (s.kit == Kit::hall || (section != 'A' && !intro)) {   // the arpeggio joins after the first statement
            int stride = index == 0 ? 2 : 1;
            for (int st = 0; st < 16; st += stride) {
                int tone = chord[(st / stride) % 3] + 7 * ((st / 6) % 2);
                // the alien arpeggio glints an octave higher than the others
                int octave_up = s.kit == Kit::signal ? 36 : 24;
                Samples p = pluck(note_freq(float(scale_note(s, tone) + octave_up)), s.bell_arp);
                float pan = (st % 4 < 2) ? -0.6f : 0.6f, g = 0.12f * s.arp_level * (0.85f + 0.3f * rng.uniform(0, 1));
                soft.add(p, at(bar, st), pan, g);
                echo_send.add(p, at(bar, st), pan, g * 0.5f);
            }
        }
        // drums: none in a breakdown, half time in a bridge, a fill into every new section and a
        // crash on its first beat
        if (section_start && !cr.empty() && !breakdown) dry.add(cr, at(bar, 0), -0.3f, 0.16f * s.drum_level);
        for (int st = 0; st < 16 && !breakdown; ++st) {
            bool fill = section_end && st >= 12 && !sn.empty();
            if (s.kick[st] == 'x' && !(half && st != 0)) {
                dry.add(k, at(bar, st), 0, 0.55f * s.drum_level);
                std::size_t t0 = at(bar, st);
                for (std::size_t i = 0; i < std::size_t(0.25 * sr); ++i)
                    duck[(t0 + i) % frames] = std::min(duck[(t0 + i) % frames], 1 - s.duck * std::exp(-float(i) / (0.09f * sr)));
            }
            if (sn.empty()) {
            } else if (fill) {
                dry.add(sn, at(bar, st), 0.1f, 0.22f * s.drum_level * (0.6f + 0.15f * (st - 12)));
            } else if (half ? st == 8 : s.snare[st] == 'x') {
                dry.add(sn, at(bar, st), 0.1f, 0.35f * s.drum_level);
                verb_send.add(sn, at(bar, st), 0.1f, 0.08f * s.drum_level);
            }
            if (s.hat[st] == 'x' && !hh.empty() && !(half && st % 4 != 0))
                dry.add(st % 8 == 6 ? oh : hh, at(bar, st), 0.35f,
                        0.12f * s.drum_level * (0.8f + 0.4f * rng.uniform(0, 1)));
        }
        // the kit's own voice: the hall's shaker throughout, the foundry's anvil in its
        // choruses, the war toms everywhere and loudest in the intro, stray blips in the echo
        for (int st = 0; st < 16 && !perc.empty(); ++st) {
            if (s.perc[st] != 'x') continue;
            float g = 0.12f * s.drum_level;
            std::size_t which = std::size_t(st / 4) % perc.size();
            float pan = 0.4f;
            switch (s.kit) {
            case Kit::hall: g *= 0.5f; break;
            case Kit::foundry:
                if (section != 'B' && !half) continue;
                g *= 0.7f;
                break;
            case Kit::fire:
                g *= (intro ? 2.6f : 1.8f) * (st % 8 == 0 ? 1.0f : 0.75f), pan = which == 1 ? -0.4f : 0.3f;
                break;
            case Kit::signal:
                which = std::size_t(rng.range(0, int(perc.size()) - 1)), pan = rng.uniform(-0.8f, 0.8f);
                g *= 0.8f;
                echo_send.add(perc[which], at(bar, st), pan, g);
                break;
            }
            dry.add(perc[which], at(bar, st), pan, g);
        }
        if (!breakdown && !intro) {   // the melody, in two-bar phrases; strong beats land on the chord
            const std::vector<Note>& phrase = (section == 'B' || section == 'b') ? phrase_b : phrase_a;
            int lift = (section == 'a' || section == 'b') ? 12 : 0;
            for (const Note& n : phrase) {
                if (n.step / 16 != bar % 2) continue;
                int deg = n.degree;
                if (n.step % 8 == 0) {
                    int best = deg, dist = 99;
                    for (int c : chord)
                        for (int o = 0; o <= 14; o += 7)
                            if (std::abs(c + o - deg) < dist) dist = std::abs(c + o - deg), best = c + o;
                    deg = best;
                }
                int note = scale_note(s, deg) + 24 + lift;
                Samples v = lead_note(note_freq(float(note)), float(step_sec * n.length * 0.9), s.lead);
                float g = 0.22f * s.lead_level * (n.step % 4 == 0 ? 1.0f : 0.85f) * (lift ? 0.8f : 1.0f);
                dry.add(v, at(bar, n.step % 16), 0.15f, g);
                echo_send.add(v, at(bar, n.step % 16), 0.15f, g * 0.45f);
                verb_send.add(v, at(bar, n.step % 16), 0.15f, g * 0.35f);
            }
        }
    }
    soft.scale_by(duck);
    soft.mix_into(dry, 1.0f);
    echo_send.echo(float(step_sec * 3), 0.4f);
    echo_send.mix_into(dry, 0.5f);
    verb_send.reverb(s.kit == Kit::hall ? 0.86f : 0.78f);
    verb_send.mix_into(dry, s.kit == Kit::hall ? 1.4f : 0.9f);
    dry.tone(250, 2500, s.tone_low, s.tone_mid, s.tone_high);
    Audio out{dry.interleaved(), 2};
    remove_dc(out.samples, 2);
    // Loudness: every track is brought to the same integrated loudness (BS.1770), which a
    // player hears alike whatever a tune's weight in the bass, then softly limited below -1 dBFS.
    const double target_lufs = -15;
    for (int pass = 0; pass < 4; ++pass) {
        double now = soundcheck::loudness({int(sr), 2, out.samples}).integrated;
        float g = float(std::pow(10.0, (target_lufs - now) / 20));
        for (float& v : out.samples) {
            float x = v * g, a = std::fabs(x);
            const float knee = 0.6f, ceiling = 0.85f;
            if (a > knee) a = knee + (ceiling - knee) * std::tanh((a - knee) / (ceiling - knee));
            v = std::copysign(a, x);
        }
    }
    return out;
}

void add_music(SoundRegistry& r) {
    r["music/main_menu.ogg"] = [] { return compose_track(0); };
    r["music/track_1.ogg"] = [] { return compose_track(1); };
    r["music/track_2.ogg"] = [] { return compose_track(2); };
    r["music/track_3.ogg"] = [] { return compose_track(3); };
}

}  // namespace mediagen
