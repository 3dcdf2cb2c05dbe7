#include "tools/generators/drums.h"

#include "tools/generators/synthesis.h"

#include <cmath>

namespace kovra::tools {

namespace {

double Noise(Random& random) {
    return random.Range(-1.0, 1.0);
}

} // namespace

void AddKick(StereoBuffer& out, double time, double gain) {
    const std::size_t start = out.FrameAt(time);
    const long length = static_cast<long>(0.5 * out.rate);
    double phase = 0.0;
    for (long i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / out.rate;
        // The pitch falls fast from a punchy click to a low thump.
        const double frequency = 48.0 + 120.0 * std::exp(-t / 0.03);
        phase += frequency / out.rate;
        const double body = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.22);
        const double click = std::exp(-t / 0.002) * 0.4;
        const double s = gain * std::tanh(1.6 * (body + click));
        out.Add(start + i, s, s);
    }
}

void AddSnare(StereoBuffer& out, double time, double gain, Random& random) {
    const std::size_t start = out.FrameAt(time);
    const long length = static_cast<long>(0.3 * out.rate);
    Filter band;
    band.Tune(3200.0, 0.8, out.rate);
    const PanGains pan = Pan(-0.1);
    for (long i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / out.rate;
        const double body = std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t / 0.05);
        const double rattle = band.Process(Noise(random)).band * std::exp(-t / 0.09);
        const double s = gain * (0.5 * body + 2.0 * rattle);
        out.Add(start + i, s * pan.left, s * pan.right);
    }
}

void AddHat(StereoBuffer& out, double time, double gain, bool open, Random& random) {
    const std::size_t start = out.FrameAt(time);
    const double decay = open ? 0.16 : 0.025;
    const long length = static_cast<long>(decay * 6.0 * out.rate);
    Filter high;
    high.Tune(7500.0, 0.9, out.rate);
    const PanGains pan = Pan(0.3);
    for (long i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / out.rate;
        const double s = gain * high.Process(Noise(random)).high * std::exp(-t / decay);
        out.Add(start + i, s * pan.left, s * pan.right);
    }
}

void AddCrash(StereoBuffer& out, double time, double gain, Random& random) {
    const std::size_t start = out.FrameAt(time);
    const long length = static_cast<long>(2.5 * out.rate);
    Filter left, right;
    left.Tune(5000.0, 0.7, out.rate);
    right.Tune(5000.0, 0.7, out.rate);
    for (long i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / out.rate;
        const double level = gain * std::exp(-t / 0.7);
        out.Add(start + i, level * left.Process(Noise(random)).high,
                level * right.Process(Noise(random)).high);
    }
}

void AddRiser(StereoBuffer& out, double from, double to, double gain, Random& random) {
    const std::size_t start = out.FrameAt(from);
    const long length = static_cast<long>((to - from) * out.rate);
    Filter left, right;
    for (long i = 0; i < length; ++i) {
        const double progress = static_cast<double>(i) / length;
        if (i % 32 == 0) {
            const double cutoff = 300.0 * std::pow(20.0, progress);
            left.Tune(cutoff, 2.0, out.rate);
            right.Tune(cutoff, 2.0, out.rate);
        }
        const double level = gain * progress * progress;
        out.Add(start + i, level * left.Process(Noise(random)).band,
                level * right.Process(Noise(random)).band);
    }
}

} // namespace kovra::tools
