#include "tools/generators/voices.h"

#include "tools/generators/synthesis.h"

#include <algorithm>
#include <cmath>

namespace kovra::tools {

namespace {

// Samples between updates of a moving filter's cutoff.
constexpr long kControlPeriod = 32;

long Samples(double seconds, int rate) {
    return static_cast<long>(seconds * rate);
}

} // namespace

void AddPad(StereoBuffer& out, const PadChord& chord, const CutoffCurve& cutoff, Random& random) {
    constexpr double kDetuneCents[3] = {-9.0, 0.0, 8.0};
    constexpr double kPans[3] = {-0.8, 0.0, 0.8};
    constexpr int kSaws = 3 * std::tuple_size_v<decltype(chord.midi)>;
    Saw saws[kSaws];
    double increments[kSaws];
    PanGains pans[kSaws];
    for (int i = 0; i < kSaws; ++i) {
        saws[i] = Saw(random.Uniform());
        increments[i] = NoteFrequency(chord.midi[i / 3] + kDetuneCents[i % 3] / 100.0) / out.rate;
        pans[i] = Pan(kPans[i % 3]);
    }
    Envelope envelope({.attack = 0.6, .decay = 1.0, .sustain = 0.85, .release = 0.4},
                      Samples(chord.length, out.rate), out.rate);
    // All notes share the envelope and the cutoff, so filtering their sum
    // once per channel is the same as filtering each.
    Filter left, right;
    const std::size_t start = out.FrameAt(chord.start);
    for (long i = 0; !envelope.Finished(); ++i) {
        if (i % kControlPeriod == 0) {
            const double hz = cutoff(chord.start + static_cast<double>(i) / out.rate);
            left.Tune(hz, 0.9, out.rate);
            right.Tune(hz, 0.9, out.rate);
        }
        double l = 0.0, r = 0.0;
        for (int k = 0; k < kSaws; ++k) {
            const double s = saws[k].Next(increments[k]);
            l += s * pans[k].left;
            r += s * pans[k].right;
        }
        const double level = chord.gain * envelope.Next();
        out.Add(start + i, level * left.Process(l).low, level * right.Process(r).low);
    }
}

void AddBass(StereoBuffer& out, const Note& note, double cutoffHz) {
    const double frequency = NoteFrequency(note.midi);
    Saw saw;
    double subPhase = 0.0;
    Envelope envelope({.attack = 0.005, .decay = 0.3, .sustain = 0.7, .release = 0.06},
                      Samples(note.length, out.rate), out.rate);
    Filter filter;
    const std::size_t start = out.FrameAt(note.start);
    for (long i = 0; !envelope.Finished(); ++i) {
        if (i % kControlPeriod == 0) {
            const double t = static_cast<double>(i) / out.rate;
            filter.Tune(cutoffHz * (1.0 + 3.0 * std::exp(-t / 0.08)), 1.2, out.rate);
        }
        subPhase += 0.5 * frequency / out.rate;
        const double sub = std::sin(2.0 * kPi * subPhase);
        const double s = note.gain * envelope.Next() *
                         (filter.Process(saw.Next(frequency / out.rate)).low + 0.6 * sub);
        out.Add(start + i, s, s);
    }
}

void AddPluck(StereoBuffer& out, const Note& note, double pan) {
    const double increment = NoteFrequency(note.midi) / out.rate;
    Saw saw;
    Envelope envelope({.attack = 0.002, .decay = 0.12, .sustain = 0.0, .release = 0.05},
                      Samples(note.length, out.rate), out.rate);
    Filter filter;
    const PanGains gains = Pan(pan);
    const std::size_t start = out.FrameAt(note.start);
    for (long i = 0; !envelope.Finished(); ++i) {
        if (i % kControlPeriod == 0) {
            const double t = static_cast<double>(i) / out.rate;
            filter.Tune(600.0 + 5000.0 * std::exp(-t / 0.05), 1.5, out.rate);
        }
        const double s =
            2.0 * note.gain * envelope.Next() * filter.Process(saw.Next(increment)).low;
        out.Add(start + i, s * gains.left, s * gains.right);
    }
}

void AddLead(StereoBuffer& out, const Note& note) {
    Saw a(0.0), b(0.37);
    Envelope envelope({.attack = 0.03, .decay = 0.4, .sustain = 0.7, .release = 0.15},
                      Samples(note.length, out.rate), out.rate);
    Filter filter;
    filter.Tune(2600.0, 1.0, out.rate);
    double vibratoPhase = 0.0;
    const std::size_t start = out.FrameAt(note.start);
    for (long i = 0; !envelope.Finished(); ++i) {
        const double t = static_cast<double>(i) / out.rate;
        vibratoPhase += 5.5 / out.rate;
        const double depth = 0.15 * std::min(1.0, t / 0.4); // semitones, growing in
        const double midi = note.midi + depth * std::sin(2.0 * kPi * vibratoPhase);
        const double increment = NoteFrequency(midi) / out.rate;
        const double raw = a.Next(increment) + b.Next(increment * 1.004);
        const double s = note.gain * envelope.Next() * filter.Process(raw).low;
        out.Add(start + i, s * 0.95, s);
    }
}

} // namespace kovra::tools
