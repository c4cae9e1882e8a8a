// SPDX-License-Identifier: GPL-3.0-or-later
// Sound effects, each synthesised from oscillators, noise, envelopes and filters.
#include "sounds.h"

#include <algorithm>

namespace mediagen {

namespace {

// Renders `seconds` of mono sound from a per-sample function of time.
template <class F>
Samples render(float seconds, F f) {
    Samples s(std::size_t(frames_for(seconds)));
    for (std::size_t i = 0; i < s.size(); ++i) s[i] = f(float(i) / sr);
    return s;
}

// A ball knocking on the paddle: a hard, hollow knock with the inharmonic modes of a struck
// bar, each higher mode dying sooner, over a short contact click; lower for bigger balls. A
// lone sine would sound thin for the sound heard most often.
Samples paddle_hit(float base, float length)
{
    const float ratio[6] = {1, 1.58f, 2.31f, 2.76f, 3.74f, 5.40f};
    const float gain[6] = {1, 0.6f, 0.5f, 0.42f, 0.3f, 0.2f};
    const float decay[6] = {1, 0.75f, 0.6f, 0.5f, 0.4f, 0.33f};
    Osc o[6];
    Noise n(11);
    Svf f;
    const float tau = length * 0.22f;
    return render(length, [&](float t) {
        float s = 0;
        for (int i = 0; i < 6; ++i) s += gain[i] * o[i].sine(base * ratio[i]) * env_perc(t, 0.0015f, tau * decay[i]);
        float click = f.process_band(n.next(), 2500, 1.0f) * env_perc(t, 0.0003f, 0.002f);
        return s + 0.5f * click;
    });
}

Samples wall_hit()
{
    Osc o;
    Noise n(12);
    Svf f;
    return render(0.09f, [&](float t) {
        float tick = f.process_band(n.next(), 2400, 2.0f) * env_perc(t, 0.0005f, 0.015f);
        return tick + 0.5f * o.sine(1250) * env_perc(t, 0.001f, 0.02f);
    });
}

// A brick breaking: a dull thud, a crunch of grit and a few ceramic chips ringing as they fly,
// all kept under 4 kHz: it is heard more than any other sound and must not hiss.
Samples break_brick()
{
    Noise n(13), grit(113);
    Svf crunch_bp, grain_lp, lp1, lp2;
    Osc thud, chip[3];
    const float chip_hz[3] = {1180, 1730, 2390}, chip_at[3] = {0.0f, 0.035f, 0.07f};
    return render(0.32f, [&](float t) {
        float body = thud.sine(170 * (1 + 0.5f * std::exp(-t * 40))) * env_perc(t, 0.001f, 0.035f);
        float crunch = crunch_bp.process_band(n.next(), 1400 - 1200 * t, 0.9f) * env_perc(t, 0.001f, 0.06f);
        float g = grit.next();
        float crackle =
            grain_lp.process_low(std::fabs(g) > 0.985f ? 6 * g : 0, 2500, 0.7f) * env_perc(t, 0.002f, 0.09f);
        float chips = 0;
        for (int i = 0; i < 3; ++i) chips += chip[i].sine(chip_hz[i]) * env_perc(t - chip_at[i], 0.001f, 0.04f);
        float x = 0.9f * body + crunch + 0.6f * crackle + 0.25f * chips;
        return lp2.process_low(lp1.process_low(x, 4000, 0.7f), 4000, 0.7f);
    });
}

Samples soft_brick()
{
    Noise n(14);
    Svf lp;
    Osc o;
    return render(0.25f, [&](float t) {
        float puff = lp.process_low(n.next(), 1500 - 3000 * t) * env_perc(t, 0.01f, 0.06f);
        return puff + 0.4f * o.sine(520 + 200 * t) * env_perc(t, 0.004f, 0.05f);
    });
}

// Inharmonic partials of a struck steel plate.
Samples solid_brick()
{
    Osc p[5];
    const float ratios[5] = {1, 2.32f, 3.91f, 5.43f, 6.8f};
    Noise n(15);
    Svf f;
    return render(0.45f, [&](float t) {
        float s = 0;
        for (int i = 0; i < 5; ++i)
            s += p[i].sine(310 * ratios[i]) * env_perc(t, 0.0008f, 0.14f / (1 + i * 0.6f)) / (1 + i * 0.5f);
        return s + 0.5f * f.process_band(n.next(), 4000, 1.5f) * env_perc(t, 0.0005f, 0.01f);
    });
}

Samples multihit()
{
    Noise n(16);
    Svf bp;
    Osc o;
    return render(0.22f, [&](float t) {
        float crack = bp.process_band(n.next(), 2600, 1.4f) * env_perc(t, 0.0005f, 0.03f);
        return crack + 0.5f * o.square(180 - 80 * t, 0.3f) * env_perc(t, 0.001f, 0.04f);
    });
}

// A blast: a crack, a driven low boom and a dense rumble that darkens as it dies, with grit
// thrown through it. Dense on purpose: it must stand at the top of the mix without a peak over
// the ceiling, so the rumble carries the loudness rather than the crack.
Samples explosion(int variant)
{
    Noise n(std::uint32_t(100 + variant)), n2(std::uint32_t(200 + variant));
    Svf crack_lp, rumble_lp, grit_bp;
    Osc sub;
    const float len = 1.2f + 0.2f * variant;
    return render(len, [&](float t) {
        float crack = crack_lp.process_low(n.next(), 6000, 0.7f) * env_perc(t, 0.0008f, 0.025f);
        float cutoff = 180 + (1500 + 500 * variant) * std::exp(-t * (4.0f + variant));
        float rumble = rumble_lp.process_low(n2.next(), cutoff, 1.0f) * env_perc(t, 0.006f, len * 0.28f);
        float boom = std::tanh(2.5f * sub.sine(48 + 50 * std::exp(-t * 10) - 4 * variant)) * env_perc(t, 0.003f, 0.3f);
        float grit = grit_bp.process_band(n.next(), 900 - 150 * variant, 1.2f) * env_perc(t - 0.03f, 0.02f, 0.2f);
        return std::tanh(0.6f * crack + 2.5f * rumble + 0.9f * boom + 0.7f * grit);
    });
}

// Skill shot: a bright arpeggio whose root climbs with the multiplier.
Samples skillshot(int level)
{
    float root = 72 + (level - 1) * 2.0f;  // climbs a whole tone per level
    const float steps[4] = {0, 4, 7, 12};
    Osc o[4], v[4];
    return render(1.0f, [&](float t) {
        float s = 0;
        for (int i = 0; i < 4; ++i) {
            float start = i * 0.06f;
            float f = note_freq(root + steps[i]);
            float e = env_perc(t - start, 0.004f, 0.22f);
            s += e * (o[i].sine(f) + 0.35f * v[i].tri(f * 2));
        }
        return s;
    });
}

Samples collect_powerup()
{
    Osc o, sp;
    return render(0.4f, [&](float t) {
        float sweep = 500 * std::pow(4.0f, t / 0.25f);
        float main = o.sine(std::min(sweep, 2000.0f)) * env_gate(t, 0.005f, 0.22f, 0.15f);
        float sparkle = sp.sine(2600 + 800 * std::sin(t * 90)) * env_perc(t - 0.18f, 0.005f, 0.07f) * 0.4f;
        return main + sparkle;
    });
}

Samples collect_weapon()
{
    Noise n(17);
    Svf bp;
    Osc o, o2;
    return render(0.5f, [&](float t) {
        float clack = bp.process_band(n.next(), 1800, 3) * (env_perc(t, 0.0005f, 0.012f) + env_perc(t - 0.09f, 0.0005f, 0.012f));
        float rise = (o.square(220 * std::pow(2.0f, t * 4), 0.25f) * 0.3f + o2.sine(440 * std::pow(2.0f, t * 4))) *
                     env_gate(t - 0.15f, 0.01f, 0.2f, 0.12f);
        return 1.3f * clack + 0.6f * rise;
    });
}

Samples laser(float from, float to, float len, std::uint32_t seed, float detune)
{
    Osc a, b;
    Noise n(seed);
    return render(len, [&](float t) {
        float f = to + (from - to) * std::exp(-t * 18);
        float s = a.sine(f) + 0.5f * b.square(f * detune, 0.5f) * 0.4f;
        return s * env_perc(t, 0.002f, len * 0.35f) + 0.05f * n.next() * env_perc(t, 0.001f, 0.01f);
    });
}

Samples doubleshot()
{
    Samples a = laser(1900, 500, 0.22f, 18, 1.01f);
    Samples b = laser(1600, 420, 0.22f, 19, 0.99f);
    Samples s(a.size() + 2000, 0.0f);
    for (std::size_t i = 0; i < a.size(); ++i) s[i] += a[i], s[i + 2000] += b[i] * 0.8f;
    return s;
}

Samples machinegun()
{
    Noise n(20);
    Svf lp, bp;
    Osc o;
    return render(0.11f, [&](float t) {
        float bang = lp.process_low(n.next(), 3500 - 20000 * t, 0.8f) * env_perc(t, 0.0005f, 0.025f);
        float mech = bp.process_band(n.next(), 5000, 3) * env_perc(t, 0.0003f, 0.006f);
        return bang + 0.6f * mech + 0.4f * o.sine(150 - 400 * t) * env_perc(t, 0.001f, 0.02f);
    });
}

Samples spreadblaster()
{
    Osc a, b;
    return render(0.15f, [&](float t) {
        float f = 900 - 2500 * t;
        return (a.square(f, 0.3f) * 0.5f + b.saw(f * 1.5f) * 0.3f) * env_perc(t, 0.001f, 0.04f);
    });
}

Samples plasmacannon()
{
    Osc a, b, sub;
    Noise n(21);
    Svf lp;
    return render(0.42f, [&](float t) {
        float f = 300 * std::exp(-t * 6) + 60;
        float wob = 1 + 0.3f * std::sin(t * 120);
        float body = (a.saw(f) * 0.5f + b.saw(f * 1.01f) * 0.5f) * wob;
        body = lp.process_low(body, 2500 * std::exp(-t * 5) + 200, 1.5f);
        return (body + 0.7f * sub.sine(f * 0.5f) + 0.2f * n.next() * env_perc(t, 0.001f, 0.02f)) * env_perc(t, 0.003f, 0.12f);
    });
}

Samples whoosh(float len, float from, float to, std::uint32_t seed, bool beep)
{
    Noise n(seed);
    Svf bp, lp;
    Osc o;
    return render(len, [&](float t) {
        float u = t / len;
        float cutoff = from + (to - from) * u;
        float air = bp.process_band(n.next(), cutoff, 1.2f) * env_gate(t, 0.03f, len * 0.45f, len * 0.5f);
        float thump = lp.process_low(n.next(), 300, 0.8f) * env_perc(t, 0.002f, 0.06f) * 2;
        float b = beep ? 0.25f * o.sine(1760) * (env_perc(t, 0.002f, 0.03f) + env_perc(t - 0.09f, 0.002f, 0.03f)) : 0;
        return air + thump + b;
    });
}

Samples mines()
{
    Osc o, beep;
    Noise n(22);
    Svf bp;
    return render(0.3f, [&](float t) {
        float thunk = o.sine(120 - 60 * t) * env_perc(t, 0.001f, 0.04f) + bp.process_band(n.next(), 900, 2) * env_perc(t, 0.0005f, 0.02f);
        float b = beep.square(1400, 0.5f) * 0.25f * env_gate(t - 0.12f, 0.002f, 0.05f, 0.02f);
        return thunk + b;
    });
}

// The nuke: a roar that swells under a sinking sub boom, longer and deeper than a blast but
// as loud, so the heaviest weapon is heard as the heaviest.
Samples nukes()
{
    Noise n(23), n2(123);
    Svf roar_lp, body_bp;
    Osc sub;
    return render(1.6f, [&](float t) {
        float roar = roar_lp.process_low(n.next(), 250 + 1300 * std::exp(-t * 2.5f), 1.1f) * env_perc(t, 0.03f, 0.5f);
        float body = body_bp.process_band(n2.next(), 500, 0.8f) * env_perc(t, 0.01f, 0.25f);
        float base = std::tanh(2 * sub.sine(40 + 35 * std::exp(-t * 4))) * env_perc(t, 0.01f, 0.45f);
        return std::tanh(2.2f * roar + 0.8f * body + 0.8f * base);
    });
}

// The beam itself: a thick buzzing chord with a fast tremolo, 50 frames long.
Samples ionbeam()
{
    Osc a, b, c, d;
    Noise n(24);
    Svf lp;
    return render(0.95f, [&](float t) {
        float trem = 0.75f + 0.25f * std::sin(t * two_pi * 23);
        float s = a.saw(110) + b.saw(110.7f) + 0.7f * c.saw(165.2f) + 0.5f * d.square(220.5f, 0.5f);
        s = lp.process_low(s, 2400, 1.3f);
        return (0.35f * s * trem + 0.15f * n.next()) * env_gate(t, 0.01f, 0.8f, 0.14f);
    });
}

// The charge: a whine rising from low to high; the game also raises its playback rate as
// the charge builds, so at normal speed it must last the whole 130-frame charge.
Samples ionbeam_charge()
{
    Osc a, b;
    float len = 4.2f;
    return render(len, [&](float t) {
        float u = t / len;
        float f = 120 * std::pow(8.0f, u);
        float wob = 1 + 0.02f * std::sin(t * two_pi * (4 + 14 * u));
        float s = a.sine(f * wob) + 0.4f * b.saw(f * 2 * wob) * u;
        return s * (0.3f + 0.7f * u) * env_gate(t, 0.05f, len - 0.05f, 0.04f);
    });
}

Samples name_input()
{
    Osc o;
    return render(0.06f, [&](float t) { return o.square(1800, 0.5f) * env_perc(t, 0.0005f, 0.012f) * 0.6f; });
}

Samples button_hover()
{
    Osc o;
    return render(0.08f, [&](float t) { return o.sine(1500 + 800 * t) * env_perc(t, 0.002f, 0.02f); });
}

Samples button_select()
{
    Osc a, b;
    return render(0.22f, [&](float t) {
        return a.sine(880) * env_perc(t, 0.002f, 0.04f) + b.sine(1320) * env_perc(t - 0.06f, 0.002f, 0.06f);
    });
}

Samples forcefield()
{
    Osc a, b, c;
    Noise n(25);
    Svf bp;
    return render(0.6f, [&](float t) {
        float hum = a.sine(240) + 0.6f * b.sine(361) + 0.4f * c.saw(480.5f) * 0.5f;
        float shimmer = bp.process_band(n.next(), 3000 + 2000 * std::sin(t * 20), 4);
        float trem = 0.7f + 0.3f * std::sin(t * two_pi * 30);
        return (0.6f * hum + 0.5f * shimmer) * trem * env_gate(t, 0.02f, 0.35f, 0.22f);
    });
}

Samples magnet()
{
    Osc a, b;
    return render(0.45f, [&](float t) {
        float f = 90 + 30 * std::sin(t * two_pi * 7);
        return (a.sine(f) + 0.5f * b.tri(f * 2)) * env_gate(t, 0.01f, 0.25f, 0.18f);
    });
}

Samples bonus()
{
    const float notes[5] = {72, 76, 79, 84, 88};
    Osc o[5], v[5];
    return render(1.3f, [&](float t) {
        float s = 0;
        for (int i = 0; i < 5; ++i) {
            float f = note_freq(notes[i]);
            float e = env_perc(t - i * 0.07f, 0.003f, 0.25f);
            s += e * (o[i].sine(f) + 0.3f * v[i].square(f, 0.25f) * 0.5f);
        }
        return s;
    });
}

Samples lose_ball()
{
    Osc a, b;
    return render(0.8f, [&](float t) {
        float f = 440 * std::pow(0.35f, t / 0.8f);
        float vib = 1 + 0.03f * std::sin(t * two_pi * 7);
        return (a.tri(f * vib) + 0.4f * b.square(f * 0.5f * vib, 0.4f)) * env_gate(t, 0.01f, 0.55f, 0.23f);
    });
}

Samples lose_life()
{
    Osc a, b, c;
    Noise n(26);
    Svf lp;
    return render(1.4f, [&](float t) {
        const float notes[3] = {67, 63, 58};
        int i = std::min(2, int(t / 0.3f));
        float f = note_freq(notes[i]) * (i == 2 ? std::pow(0.7f, (t - 0.6f) / 0.8f) : 1.0f);
        float e = i < 2 ? env_gate(std::fmod(t, 0.3f), 0.01f, 0.22f, 0.06f) : env_gate(t - 0.6f, 0.01f, 0.5f, 0.3f);
        float s = a.saw(f) * 0.5f + b.saw(f * 1.005f) * 0.5f + 0.4f * c.sine(f * 0.5f);
        s = lp.process_low(s, 1800, 0.9f);
        return s * e + 0.05f * n.next() * env_perc(t - 0.6f, 0.05f, 0.3f);
    });
}

}  // namespace

// The mix: every effect's loudest 400 ms in LUFS. Blasts lead; the sounds of every moment
// (hits, bricks, the machine gun) sit 5 to 10 LU under them so they never tire; the ion beam's
// charge stays under every blast however long it is held; the menu's ticks are quiet.
struct MixEntry {
    const char* path;
    std::function<Samples()> make;
    float lufs;
};

void add_effect_sounds(SoundRegistry& r)
{
    const MixEntry mix[] = {
        {"sound/explosion_1.ogg", [] { return explosion(0); }, -9},
        {"sound/explosion_2.ogg", [] { return explosion(1); }, -9},
        {"sound/explosion_3.ogg", [] { return explosion(2); }, -9},
        {"sound/weapons/nukes.ogg", nukes, -9},
        {"sound/lose_life.ogg", lose_life, -10},
        {"sound/lose_ball.ogg", lose_ball, -11},
        {"sound/bonus.wav", bonus, -11},
        {"sound/weapons/ionbeam.ogg", ionbeam, -11},
        {"sound/collect_powerup.wav", collect_powerup, -12},
        {"sound/collect_weapon.ogg", collect_weapon, -12},
        {"sound/weapons/rockets.ogg", [] { return whoosh(0.65f, 500, 3500, 28, false); }, -12},
        {"sound/weapons/homingrockets.ogg", [] { return whoosh(0.55f, 800, 4500, 29, true); }, -12},
        {"sound/weapons/ionbeam_charge.ogg", ionbeam_charge, -13},
        {"sound/weapons/plasmacannon.ogg", plasmacannon, -13},
        {"sound/forcefield.ogg", forcefield, -13},
        {"sound/magnet.ogg", magnet, -14},
        {"sound/break_brick.wav", break_brick, -15},
        {"sound/hit_paddle_big.wav", [] { return paddle_hit(190, 0.26f); }, -15},
        {"sound/weapons/phaser.ogg", [] { return laser(2200, 600, 0.2f, 27, 1.0f); }, -15},
        {"sound/weapons/doubleshot.ogg", doubleshot, -15},
        {"sound/weapons/mines.wav", mines, -15},
        {"sound/hit_paddle.wav", [] { return paddle_hit(330, 0.18f); }, -16},
        {"sound/solid_brick.ogg", solid_brick, -16},
        {"sound/multihit.wav", multihit, -16},
        {"sound/weapons/spreadblaster.wav", spreadblaster, -16},
        {"sound/hit_paddle_small.wav", [] { return paddle_hit(520, 0.13f); }, -17},
        {"sound/weapons/machinegun.wav", machinegun, -17},
        {"sound/soft_brick.wav", soft_brick, -18},
        {"sound/hit_wall.ogg", wall_hit, -19},
        {"sound/button_select.wav", button_select, -19},
        {"sound/name_input.wav", name_input, -22},
        {"sound/button_hover.wav", button_hover, -24},
    };
    for (const MixEntry& e : mix)
        r[e.path] = [e] {
            Samples s = e.make();
            finish_effect(s, e.lufs);
            return Audio{std::move(s), 1};
        };
    for (int i = 1; i <= 5; ++i)
        r["sound/skillshot_x" + std::to_string(i) + ".wav"] = [i] {
            Samples s = skillshot(i);
            finish_effect(s, -12);
            return Audio{std::move(s), 1};
        };
}

SoundRegistry all_sound_makers() {
    SoundRegistry r;
    add_effect_sounds(r);
    add_music(r);
    return r;
}

}  // namespace mediagen
