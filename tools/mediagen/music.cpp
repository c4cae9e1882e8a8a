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
#include "sounds.h"

namespace mediagen {

namespace {

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
    int lead;                       // 0 pulse, 1 bell, 2 saw brass
    float swing;
    std::uint32_t seed;
    float pad_level, arp_level, lead_level, bass_level, drum_level;
    const char* plan;               // one letter per 8 bars: A, B, a (A an octave up), b, D breakdown
    bool bell_arp;
    float duck;                     // how far the pads and arpeggio dip under each kick
};

const std::array<int, 7> minor{0, 2, 3, 5, 7, 8, 10};
const std::array<int, 7> dorian{0, 2, 3, 5, 7, 9, 10};
const std::array<int, 7> phrygian{0, 1, 3, 5, 7, 8, 10};

const Style styles[4] = {
    // main menu: calm, D dorian, soft bells over pads
    {84, 38, dorian, {0, 3, 2, 4, 0, 3, 6, 4}, 24, "x.......x.......", "........x.......", "..x...x...x...x.",
     "r.......f...o...", 1, 0.08f, 7, 1.0f, 0.45f, 0.5f, 0.6f, 0.35f, "ABD", true, 0.0f},
    // track 1 (metal): driving, E minor, pulse lead
    {126, 40, minor, {0, 5, 2, 6, 0, 5, 3, 4}, 32, "x...x...x...x...", "....x.......x...", "x.x.x.x.x.x.x.xx",
     "r.ro.rr.r.ro.rfo", 0, 0.0f, 11, 0.6f, 0.4f, 0.55f, 0.8f, 0.75f, "ABaD", false, 0.45f},
    // track 2 (volcano): heavy, C phrygian, brass lead, tom-like drums
    {138, 36, phrygian, {0, 1, 0, 6, 0, 1, 5, 6}, 40, "x..x..x...x..x..", "....x.......x..x", "x.xxx.xxx.xxx.xx",
     "rr.rr.ro.rr.fr.o", 2, 0.0f, 23, 0.65f, 0.35f, 0.75f, 0.6f, 0.8f, "ABabD", false, 0.5f},
    // track 3 (alien): F# minor with a floating bell lead and a wobbling bass
    {116, 42, minor, {0, 3, 6, 2, 0, 3, 5, 4}, 32, "x.....x...x.....", "....x.......x...", "..xx..xx..xx..xx",
     "r..or..fr..or.f.", 3, 0.12f, 31, 0.7f, 0.55f, 0.5f, 0.75f, 0.65f, "ABaD", true, 0.3f},
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

Samples hat(std::uint32_t seed, float decay) {
    Noise n(seed);
    Svf hp;
    return voice(decay * 5, [&](float t) { return hp.process_high(n.next(), 8000, 0.9f) * env_perc(t, 0.0005f, decay); });
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
    Samples k = kick(index == 0 ? 0.7f : 1.0f), sn = snare(s.seed + 1, index == 2 ? 140.0f : 190.0f);
    Samples hh = hat(s.seed + 2, 0.03f), oh = hat(s.seed + 3, 0.12f), cr = crash(s.seed + 4);
    std::vector<Note> phrase_a = motif(rng), phrase_b = motif(rng);
    std::vector<float> duck(frames, 1.0f);
    const int plan_len = int(std::string_view(s.plan).size());

    for (int bar = 0; bar < bars; ++bar) {
        char section = s.plan[(bar / 8) % plan_len];
        const bool breakdown = section == 'D';
        const bool section_start = bar % 8 == 0, section_end = bar % 8 == 7;
        int degree = s.progression[std::size_t(bar % 8)];
        int chord[3] = {degree, degree + 2, degree + 4};  // chord tones as scale degrees
        float bar_len = float(step_sec * 16);

        for (int c = 0; c < 3; ++c) {
            float f = note_freq(float(scale_note(s, chord[c]) + 24));
            Samples pad = pad_note(f, bar_len);
            soft.add(pad, at(bar, 0), -0.5f + 0.5f * c, 0.16f * s.pad_level);
            verb_send.add(pad, at(bar, 0), -0.5f + 0.5f * c, 0.06f * s.pad_level);
        }
        for (int st = 0; st < 16; ++st) {
            char b = s.bass[st];
            if (b == '.' || (breakdown && st % 4 != 0)) continue;
            int len = 1;
            while (st + len < 16 && s.bass[st + len] == '.') ++len;
            int note = scale_note(s, degree) + (b == 'o' ? 12 : 0) + (b == 'f' ? 7 : 0);
            int held = std::min(len, index == 0 ? 8 : 2);  // the calm menu lets its bass ring
            dry.add(bass_note(note_freq(float(note)), float(step_sec * held * 0.95), index), at(bar, st), 0,
                    0.35f * s.bass_level * (st % 4 == 0 ? 1.0f : 0.85f));
        }
        if (section != 'A' || index == 0) {  // the arpeggio joins after the first statement
            int stride = index == 0 ? 2 : 1;
            for (int st = 0; st < 16; st += stride) {
                int tone = chord[(st / stride) % 3] + 7 * ((st / 6) % 2);
                Samples p = pluck(note_freq(float(scale_note(s, tone) + 24)), s.bell_arp);
                float pan = (st % 4 < 2) ? -0.6f : 0.6f, g = 0.12f * s.arp_level * (0.85f + 0.3f * rng.uniform(0, 1));
                soft.add(p, at(bar, st), pan, g);
                echo_send.add(p, at(bar, st), pan, g * 0.5f);
            }
        }
        // drums: thinned in the breakdown, a fill into every new section, a crash on its first beat
        if (section_start) dry.add(cr, at(bar, 0), -0.3f, 0.16f * s.drum_level * (breakdown ? 0.6f : 1.0f));
        for (int st = 0; st < 16; ++st) {
            bool fill = section_end && st >= 12 && index != 0;
            if (s.kick[st] == 'x' && !(breakdown && st % 8 != 0)) {
                dry.add(k, at(bar, st), 0, 0.55f * s.drum_level);
                std::size_t t0 = at(bar, st);
                for (std::size_t i = 0; i < std::size_t(0.25 * sr); ++i)
                    duck[(t0 + i) % frames] = std::min(duck[(t0 + i) % frames], 1 - s.duck * std::exp(-float(i) / (0.09f * sr)));
            }
            if (fill) {
                dry.add(sn, at(bar, st), 0.1f, 0.22f * s.drum_level * (0.6f + 0.15f * (st - 12)));
            } else if (s.snare[st] == 'x' && !breakdown) {
                dry.add(sn, at(bar, st), 0.1f, 0.35f * s.drum_level);
                verb_send.add(sn, at(bar, st), 0.1f, 0.08f * s.drum_level);
            }
            if (s.hat[st] == 'x')
                dry.add(st % 8 == 6 && index != 0 ? oh : hh, at(bar, st), 0.35f, 0.12f * s.drum_level * (0.8f + 0.4f * rng.uniform(0, 1)));
        }
        if (!breakdown) {  // the melody, in two-bar phrases; strong beats land on the chord
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
    verb_send.reverb(0.78f);
    verb_send.mix_into(dry, 0.9f);
    Audio out{dry.interleaved(), 2};
    remove_dc(out.samples, 2);
    // Loudness: every track is brought to the same RMS, then softly limited below -1 dBFS.
    const double target_rms = 0.15;
    for (int pass = 0; pass < 4; ++pass) {
        double rms = rms_of(out.samples);
        float g = float(target_rms / std::max(rms, 1e-9));
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
