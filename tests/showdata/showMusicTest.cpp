// The shipped music, read back through the engine's own decoder.
#include "engine/platform/musicDecoder.h"
#include "tools/generators/song.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using kovra::tools::kBeatSeconds;
using kovra::tools::kSongSeconds;
using kovra::tools::SongSection;
using kovra::tools::SongSections;

namespace {

constexpr int kRate = 44100;
constexpr long kMp3FrameSamples = 1152;

class ShowMusicTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        music = new auto(engine::platform::DecodeMp3(KOVRA_SOURCE_DIR "/data/Vantor-Kelmsong.mp3"));
    }
    static void TearDownTestSuite() {
        delete music;
        music = nullptr;
    }

    static long Frames() { return static_cast<long>((*music)->samples.size() / 2); }

    // Root mean square of both channels between two times, 0..1.
    static double Rms(double from, double to) {
        const auto& samples = (*music)->samples;
        const long first = static_cast<long>(from * kRate), last = static_cast<long>(to * kRate);
        double sum = 0.0;
        for (long i = first * 2; i < last * 2; ++i)
            sum += double(samples[i]) * samples[i];
        return std::sqrt(sum / (2.0 * (last - first))) / 32768.0;
    }

    static double SectionRms(const std::string& name) {
        for (const SongSection& section : SongSections())
            if (section.name == name)
                return Rms(section.start, section.end);
        ADD_FAILURE() << "no section " << name;
        return 0.0;
    }

    static inline std::optional<engine::platform::MusicPcm>* music = nullptr;
};

} // namespace

TEST_F(ShowMusicTest, DecodesAsStereoAtCdRateForTheWholeShow) {
    ASSERT_TRUE(music->has_value());
    EXPECT_EQ((*music)->rate, kRate);
    const long expected = std::lround(kSongSeconds * kRate);
    EXPECT_LE(std::abs(Frames() - expected), kMp3FrameSamples) << Frames() << " frames";
}

TEST_F(ShowMusicTest, SectionsCoverTheSongWithoutGaps) {
    const auto& sections = SongSections();
    ASSERT_EQ(sections.size(), 6u);
    EXPECT_EQ(sections.front().start, 0.0);
    EXPECT_EQ(sections.back().end, kSongSeconds);
    for (std::size_t i = 1; i < sections.size(); ++i)
        EXPECT_EQ(sections[i].start, sections[i - 1].end) << sections[i].name;
}

TEST_F(ShowMusicTest, EverySectionIsAudibleAndNothingClips) {
    ASSERT_TRUE(music->has_value());
    for (const SongSection& section : SongSections())
        EXPECT_GT(Rms(section.start, std::min(section.end, section.start + 3.0)), 0.02)
            << section.name;
    long clipped = 0;
    for (std::int16_t s : (*music)->samples)
        clipped += s >= 32767 || s <= -32768;
    EXPECT_EQ(clipped, 0);
}

TEST_F(ShowMusicTest, LoudnessFollowsTheShow) {
    ASSERT_TRUE(music->has_value());
    const double intro = SectionRms("intro"), build = SectionRms("build"),
                 ribbon = SectionRms("ribbon"), dusk = SectionRms("dusk"),
                 climax = SectionRms("climax");
    EXPECT_LT(intro, build);
    EXPECT_LT(build, ribbon);
    EXPECT_LT(dusk, ribbon);
    EXPECT_LT(dusk, climax);
    EXPECT_LT(intro * 1.5, climax);
    // The pads fade out: the last half second is near silence.
    EXPECT_LT(Rms(kSongSeconds - 0.5, kSongSeconds - 0.01), 0.01);
    EXPECT_LT(Rms(0.0, 0.05), 0.01); // and fade in from it
}

TEST_F(ShowMusicTest, KicksLandOnTheBeatsTheCameraCutsOn) {
    ASSERT_TRUE(music->has_value());
    // Low-passed energy in the first 60 ms after each beat of the ribbon
    // section against the same span half a beat later.
    const auto& samples = (*music)->samples;
    std::vector<double> low(samples.size() / 2);
    double state = 0.0;
    const double k = 1.0 - std::exp(-2.0 * 3.141592653589793 * 120.0 / kRate);
    for (std::size_t i = 0; i < low.size(); ++i) {
        state += k * ((samples[2 * i] + samples[2 * i + 1]) / 65536.0 - state);
        low[i] = state * state;
    }
    auto energy = [&](double from) {
        double sum = 0.0;
        for (long i = long(from * kRate); i < long((from + 0.06) * kRate); ++i)
            sum += low[i];
        return sum;
    };
    double onBeats = 0.0, offBeats = 0.0;
    for (double beat = 40.0; beat < 64.0; beat += kBeatSeconds) {
        onBeats += energy(beat);
        offBeats += energy(beat + kBeatSeconds / 2);
    }
    EXPECT_GT(onBeats, 2.0 * offBeats);
}
