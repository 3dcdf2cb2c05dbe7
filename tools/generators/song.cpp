// The arrangement of the show's music. Sections follow the picture: pads
// alone, then bass and soft drums, full drums with the ribbon, a breakdown
// at dusk that builds back up, everything at the climax, and the pads
// fading out. Harmony is D minor: i-VI-III-VII, with iv-VI-i-V at dusk.
#include "tools/generators/song.h"

#include "tools/generators/drums.h"
#include "tools/generators/effects.h"
#include "tools/generators/synthesis.h"
#include "tools/generators/voices.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kovra::tools {

namespace {

enum class Part { Intro, Build, Ribbon, Dusk, Climax, Outro };

// Bars counted from 0; the outro's last bar is cut short at kSongSeconds.
Part PartOfBar(int bar) {
    if (bar < 8)
        return Part::Intro;
    if (bar < 20)
        return Part::Build;
    if (bar < 32)
        return Part::Ribbon;
    if (bar < 48)
        return Part::Dusk;
    if (bar < 60)
        return Part::Climax;
    return Part::Outro;
}

struct Chord {
    int bass;
    std::array<int, 4> pad; // root below, then a close voicing
};

constexpr Chord kDm{38, {50, 62, 65, 69}};
constexpr Chord kBb{34, {46, 58, 62, 65}};
constexpr Chord kF{41, {53, 57, 60, 65}};
constexpr Chord kC{36, {48, 55, 60, 64}};
constexpr Chord kGm{31, {43, 55, 58, 62}};
constexpr Chord kA{33, {45, 57, 61, 64}};

const Chord& ChordOfBar(int bar) {
    static const Chord* const main[4] = {&kDm, &kBb, &kF, &kC};
    static const Chord* const dusk[4] = {&kGm, &kBb, &kDm, &kA};
    switch (PartOfBar(bar)) {
    case Part::Dusk:
        return *dusk[(bar - 32) % 4];
    case Part::Outro:
        return kDm;
    default:
        return *main[bar % 4];
    }
}

double Ramp(double t, double from, double to, double low, double high) {
    const double x = std::clamp((t - from) / (to - from), 0.0, 1.0);
    return low * std::pow(high / low, x);
}

// The pads open up through the intro, darken for the breakdown, sweep up
// into the climax and close again as they fade.
double PadCutoff(double t) {
    double hz;
    if (t < 16.0)
        hz = Ramp(t, 0.0, 16.0, 350.0, 1500.0);
    else if (t < 40.0)
        hz = Ramp(t, 16.0, 40.0, 1500.0, 2200.0);
    else if (t < 64.0)
        hz = 2400.0;
    else if (t < 96.0)
        hz = Ramp(t, 86.0, 96.0, 800.0, 3000.0);
    else if (t < 120.0)
        hz = 3200.0;
    else
        hz = Ramp(t, 120.0, 125.0, 2000.0, 400.0);
    return hz * (1.0 + 0.25 * std::sin(2.0 * kPi * t / 8.0));
}

double BarStart(int bar) {
    return bar * kBarSeconds;
}

// A 4-bar tune over i-VI-III-VII: (beat, beats, note) per bar.
struct TuneNote {
    double beat, beats;
    int midi;
};
const std::vector<TuneNote> kTune[4] = {
    {{0, 1, 69}, {1, 1, 74}, {2, 1.5, 77}, {3.5, 0.5, 76}},
    {{0, 2, 74}, {2, 1, 77}, {3, 1, 74}},
    {{0, 1.5, 72}, {1.5, 0.5, 69}, {2, 1, 72}, {3, 1, 77}},
    {{0, 2, 76}, {2, 1, 79}, {3, 1, 76}},
};

class Arrangement {
public:
    Arrangement(int rate, double seconds)
        : mSeconds(seconds), mDry(rate, Frames(rate, seconds)), mPads(rate, mDry.Frames()),
          mLeads(rate, mDry.Frames()) {}

    StereoBuffer Render() {
        const int bars = static_cast<int>(std::ceil(mSeconds / kBarSeconds));
        for (int bar = 0; bar < bars; ++bar) {
            Pads(bar);
            Bass(bar);
            Drums(bar);
            Arpeggio(bar);
            Tune(bar);
        }
        AddEcho(mLeads, 0.375, 0.35, 0.4);
        for (std::size_t i = 0; i < mPads.Frames(); ++i) {
            mPads.left[i] += mLeads.left[i];
            mPads.right[i] += mLeads.right[i];
        }
        AddReverb(mPads, 0.5);
        Master();
        return std::move(mDry);
    }

private:
    static std::size_t Frames(int rate, double seconds) {
        return static_cast<std::size_t>(std::llround(std::min(seconds, kSongSeconds) * rate));
    }

    void Pads(int bar) {
        static constexpr double kGain[] = {0.07, 0.055, 0.06, 0.065, 0.07, 0.07};
        const Part part = PartOfBar(bar);
        const double length = part == Part::Outro ? 2.4 : kBarSeconds;
        if (part == Part::Outro && bar > 60)
            return; // the last chord rings out
        AddPad(mPads, {BarStart(bar), length, ChordOfBar(bar).pad, kGain[int(part)]}, PadCutoff,
               mPadRandom);
    }

    void Bass(int bar) {
        const Part part = PartOfBar(bar);
        const double root = ChordOfBar(bar).bass;
        const double t = BarStart(bar);
        if (part == Part::Build) {
            AddBass(mDry, {t, 1.3, root, 0.24}, 300.0);
            AddBass(mDry, {t + 3 * kBeatSeconds, 0.35, root, 0.2}, 300.0);
        } else if (part == Part::Ribbon || part == Part::Climax) {
            static constexpr int kSteps[8] = {0, 0, 12, 0, 0, 12, 0, 7};
            for (int step = 0; step < 8; ++step)
                AddBass(mDry,
                        {t + step * kBeatSeconds / 2, 0.18, root + kSteps[step],
                         step % 2 ? 0.22 : 0.28},
                        part == Part::Climax ? 600.0 : 450.0);
        } else if (part == Part::Dusk && bar < 44) {
            AddBass(mDry, {t, 1.9, root, 0.26}, 220.0);
        } else if (part == Part::Dusk) {
            for (int beat = 0; beat < 4; ++beat)
                AddBass(mDry, {t + beat * kBeatSeconds, 0.4, root, 0.2 + 0.01 * (bar - 44) * 4},
                        300.0);
        }
    }

    void Drums(int bar) {
        const Part part = PartOfBar(bar);
        const double t = BarStart(bar);
        const double sixteenth = kBeatSeconds / 4;
        if (part == Part::Build) {
            AddKick(mDry, t, 0.35);
            AddKick(mDry, t + 2 * kBeatSeconds, 0.35);
            for (int beat = 0; beat < 4; ++beat)
                AddHat(mDry, t + (beat + 0.5) * kBeatSeconds, 0.3, false, mDrumRandom);
            if (bar >= 16) {
                AddSnare(mDry, t + kBeatSeconds, 0.3, mDrumRandom);
                AddSnare(mDry, t + 3 * kBeatSeconds, 0.3, mDrumRandom);
            }
        } else if (part == Part::Ribbon || part == Part::Climax) {
            if (bar == 20 || (part == Part::Climax && bar % 4 == 0))
                AddCrash(mDry, t, 0.25, mDrumRandom);
            for (int beat = 0; beat < 4; ++beat)
                AddKick(mDry, t + beat * kBeatSeconds, 0.5);
            if (part == Part::Climax && bar % 2)
                AddKick(mDry, t + 3.5 * kBeatSeconds, 0.4);
            AddSnare(mDry, t + kBeatSeconds, 0.9, mDrumRandom);
            AddSnare(mDry, t + 3 * kBeatSeconds, 0.9, mDrumRandom);
            for (int step = 0; step < 16; ++step) {
                const bool open = step == 14 && bar % 2;
                const double gain = step % 4 == 2 ? 0.42 : 0.18;
                AddHat(mDry, t + step * sixteenth, gain, open, mDrumRandom);
            }
        } else if (part == Part::Dusk && bar >= 44) {
            // A snare roll, doubling its rate each bar, into the climax.
            const int hits = 4 << std::min(bar - 44, 2);
            for (int hit = 0; hit < hits; ++hit) {
                const double progress = (bar - 44 + double(hit) / hits) / 4.0;
                AddSnare(mDry, t + hit * kBarSeconds / hits, 0.16 + 0.6 * progress, mDrumRandom);
            }
            if (bar == 44)
                AddRiser(mDry, t, BarStart(48), 0.35, mDrumRandom);
        } else if (part == Part::Outro && bar == 60) {
            AddKick(mDry, t, 0.6);
            AddCrash(mDry, t, 0.3, mDrumRandom);
        }
    }

    void Arpeggio(int bar) {
        static constexpr int kPattern[16] = {0, 1, 2, 3, 2, 1, 0, 1, 0, 1, 2, 3, 2, 3, 1, 2};
        const Part part = PartOfBar(bar);
        const bool busy = part == Part::Ribbon || part == Part::Climax;
        if (!busy && !(part == Part::Dusk && bar >= 36))
            return;
        const Chord& chord = ChordOfBar(bar);
        const int tones[4] = {chord.pad[1] + 12, chord.pad[2] + 12, chord.pad[3] + 12,
                              chord.pad[1] + 24};
        const int steps = busy ? 16 : 8;
        const double step = kBarSeconds / steps;
        for (int i = 0; i < steps; ++i)
            AddPluck(mLeads,
                     {BarStart(bar) + i * step, step * 0.5, double(tones[kPattern[i * 16 / steps]]),
                      busy ? 0.07 : 0.06},
                     i % 2 ? 0.5 : -0.5);
    }

    void Tune(int bar) {
        const Part part = PartOfBar(bar);
        if (part != Part::Climax && !(part == Part::Ribbon && bar >= 28))
            return;
        for (const TuneNote& n : kTune[bar % 4])
            AddLead(mLeads, {BarStart(bar) + n.beat * kBeatSeconds, n.beats * kBeatSeconds - 0.05,
                             double(n.midi), 0.12});
    }

    // Sums the buses into the dry one, fades the end out and limits softly
    // below full scale.
    void Master() {
        constexpr double kFadeFrom = 121.0;
        for (std::size_t i = 0; i < mDry.Frames(); ++i) {
            const double t = static_cast<double>(i) / mDry.rate;
            const double gain =
                t < kFadeFrom ? 1.0
                              : std::max(0.0, (kSongSeconds - t) / (kSongSeconds - kFadeFrom));
            mDry.left[i] = Limit(gain * (mDry.left[i] + mPads.left[i]));
            mDry.right[i] = Limit(gain * (mDry.right[i] + mPads.right[i]));
        }
    }

    // Linear up to the knee, then bending smoothly towards the ceiling.
    static float Limit(double x) {
        constexpr double kKnee = 0.6, kCeiling = 0.89;
        const double magnitude = std::abs(x);
        if (magnitude < kKnee)
            return static_cast<float>(x);
        const double bent =
            kKnee + (kCeiling - kKnee) * std::tanh((magnitude - kKnee) / (kCeiling - kKnee));
        return static_cast<float>(std::copysign(bent, x));
    }

    double mSeconds;
    StereoBuffer mDry, mPads, mLeads;
    Random mPadRandom{0x5EED0001}, mDrumRandom{0x5EED0002};
};

} // namespace

const std::vector<SongSection>& SongSections() {
    static const std::vector<SongSection> sections = {
        {"intro", 0.0, 16.0}, {"build", 16.0, 40.0},   {"ribbon", 40.0, 64.0},
        {"dusk", 64.0, 96.0}, {"climax", 96.0, 120.0}, {"outro", 120.0, kSongSeconds},
    };
    return sections;
}

StereoBuffer RenderSong(int sampleRate, double seconds) {
    return Arrangement(sampleRate, seconds).Render();
}

} // namespace kovra::tools
