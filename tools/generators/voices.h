#pragma once

#include "tools/generators/random.h"
#include "tools/generators/stereoBuffer.h"

#include <array>
#include <functional>

namespace kovra::tools {

struct Note {
    double start;  // seconds
    double length; // seconds held before the release
    double midi;
    double gain;
};

// Brightness over the song: the low-pass cutoff in Hz at a time in seconds.
using CutoffCurve = std::function<double(double seconds)>;

// Notes of a pad struck and released together.
struct PadChord {
    double start;
    double length;
    std::array<int, 4> midi;
    double gain;
};

// Warm pad: each note three detuned saws spread across the stereo field,
// the chord through one slowly moving low-pass; slow attack and long
// release. `random` picks the saws' starting phases.
void AddPad(StereoBuffer& out, const PadChord& chord, const CutoffCurve& cutoff, Random& random);
// Round bass: saw plus sub-octave sine through a low-pass that closes
// after each attack.
void AddBass(StereoBuffer& out, const Note& note, double cutoffHz);
// Short plucked saw for arpeggios, placed at `pan` (-1..1).
void AddPluck(StereoBuffer& out, const Note& note, double pan);
// Singing lead: two detuned saws with delayed vibrato.
void AddLead(StereoBuffer& out, const Note& note);

} // namespace kovra::tools
