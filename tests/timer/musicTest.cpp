#include "engine/platform/musicDecoder.h"
#include "engine/platform/musicStream.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <thread>

#include <unistd.h>
#include <vector>

namespace {

namespace platform = engine::platform;

constexpr int kSamplesPerFrame = 1152;

// Writes an MPEG-1 Layer III file of silent frames: 128 kbit/s, no CRC, and
// all-zero side information, which decodes to 1152 silent samples a frame.
void WriteSilentMp3(const std::string& path, int frames, int rate, bool mono) {
    const std::uint8_t rateIndex = rate == 44100 ? 0 : rate == 48000 ? 1 : 2;
    const std::uint8_t header[4] = {0xFF, 0xFB, static_cast<std::uint8_t>(0x90 | rateIndex << 2),
                                    static_cast<std::uint8_t>(mono ? 0xC0 : 0x00)};
    std::vector<char> frame(144 * 128000 / rate, 0);
    std::copy(header, header + 4, frame.begin());
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < frames; ++i)
        out.write(frame.data(), static_cast<std::streamsize>(frame.size()));
}

std::string TempPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() /
            ("kovra_music_" + std::to_string(getpid()) + "_" + name))
        .string();
}

// Polls `condition` for up to five seconds of audio thread progress.
template <class Condition> bool Eventually(Condition condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(MusicDecoder, DecodesEveryFrameAsSixteenBitStereoAtTheFilesRate) {
    for (const int rate : {44100, 48000}) {
        for (const bool mono : {false, true}) {
            const std::string path = TempPath("silent.mp3");
            WriteSilentMp3(path, 40, rate, mono);
            const auto pcm = platform::DecodeMp3(path);
            ASSERT_TRUE(pcm) << rate << (mono ? " mono" : " stereo");
            EXPECT_EQ(pcm->rate, rate);
            EXPECT_EQ(pcm->samples.size(), 40u * kSamplesPerFrame * 2);
            for (const std::int16_t sample : pcm->samples)
                ASSERT_EQ(sample, 0);
            std::filesystem::remove(path);
        }
    }
}

// A stream whose rate changes mid-way decodes at its first rate throughout:
// the player's clock counts bytes at one rate, so the later frames must be
// resampled to it, or the clock would run fast through them.
TEST(MusicDecoder, ARateChangeMidStreamIsResampledToTheFirstRate) {
    const std::string first = TempPath("first.mp3");
    const std::string second = TempPath("second.mp3");
    const std::string joined = TempPath("joined.mp3");
    WriteSilentMp3(first, 20, 44100, false);
    WriteSilentMp3(second, 20, 48000, false);
    {
        std::ofstream out(joined, std::ios::binary);
        out << std::ifstream(first, std::ios::binary).rdbuf()
            << std::ifstream(second, std::ios::binary).rdbuf();
    }
    const auto pcm = platform::DecodeMp3(joined);
    std::filesystem::remove(first);
    std::filesystem::remove(second);
    std::filesystem::remove(joined);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, 44100);
    // 20 frames at each rate last 20 x 1152 / 44100 + 20 x 1152 / 48000 s.
    const double heard = 20.0 * kSamplesPerFrame / 44100 + 20.0 * kSamplesPerFrame / 48000;
    const double decoded = static_cast<double>(pcm->samples.size()) / 2 / pcm->rate;
    EXPECT_NEAR(decoded, heard, 0.01);
}

TEST(MusicDecoder, RefusesMissingAndNonAudioFiles) {
    EXPECT_FALSE(platform::DecodeMp3(TempPath("does_not_exist.mp3")));
    const std::string text = TempPath("text.mp3");
    std::ofstream(text) << "Just some words, no audio frames at all.\n";
    EXPECT_FALSE(platform::DecodeMp3(text));
    const std::string empty = TempPath("empty.mp3");
    std::ofstream(empty, std::ios::binary).flush();
    EXPECT_FALSE(platform::DecodeMp3(empty));
    std::filesystem::remove(text);
    std::filesystem::remove(empty);
}

TEST(MusicDecoder, RefusesTracksLongerThanTheLimit) {
    const std::string path = TempPath("long.mp3");
    const int frames = static_cast<int>(platform::kMaxMusicSeconds * 44100 / kSamplesPerFrame) + 2;
    WriteSilentMp3(path, frames, 44100, false);
    EXPECT_FALSE(platform::DecodeMp3(path));
    std::filesystem::remove(path);
}

TEST(MusicStream, PositionCountsWhatThePlayerHandedOn) {
    const std::string path = TempPath("stream.mp3");
    WriteSilentMp3(path, 100, 48000, false); // 2.4 s
    const double duration = 100.0 * kSamplesPerFrame / 48000;
    auto stream = platform::OpenMusic(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Position(), 0.0); // opened paused
    stream->SetPosition(0.5);
    EXPECT_EQ(stream->Position(), 0.5);
    stream->SetPosition(-1.0);
    EXPECT_EQ(stream->Position(), 0.0);

    stream->Play();
    ASSERT_TRUE(Eventually([&] { return stream->Position() > 0.1; }));
    stream->Pause();
    const double paused = stream->Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(stream->Position(), paused);

    stream->Play(); // resumes where it paused, not from the start
    EXPECT_GE(stream->Position(), paused);
    stream->SetPosition(duration - 0.3);
    stream->Play();
    ASSERT_TRUE(Eventually([&] { return stream->Position() > duration - 0.25; }));
    // After the end, time goes on from the track's length on the clock.
    ASSERT_TRUE(Eventually([&] { return stream->Position() > duration + 0.05; }));
    stream->Pause();
    const double after = stream->Position();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(stream->Position(), after);
    stream->SetPosition(1.0); // the audio is freed: the clock moves instead
    EXPECT_EQ(stream->Position(), 1.0);

    stream->Stop();
    stream->Play();
    stream->SetPosition(2.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(stream->Position(), 1.0);
}

TEST(MusicStream, SeekPastTheEndContinuesOnTheClock) {
    const std::string path = TempPath("short.mp3");
    WriteSilentMp3(path, 10, 44100, true);
    auto stream = platform::OpenMusic(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(stream);
    stream->SetPosition(100.0);
    EXPECT_EQ(stream->Position(), 100.0);
    stream->Play();
    ASSERT_TRUE(Eventually([&] { return stream->Position() > 100.02; }));
}

// NaN or a huge target must not reach the conversion to a byte count.
TEST(MusicStream, SeeksToNanOrHugeTimesAreClamped) {
    EXPECT_EQ(platform::ClampMusicPosition(std::nan("")), 0.0);
    EXPECT_EQ(platform::ClampMusicPosition(-3.0), 0.0);
    EXPECT_EQ(platform::ClampMusicPosition(2.5), 2.5);
    EXPECT_EQ(platform::ClampMusicPosition(1e300), platform::kMaxMusicPosition);
    EXPECT_EQ(platform::ClampMusicPosition(std::numeric_limits<double>::infinity()),
              platform::kMaxMusicPosition);

    const std::string path = TempPath("seek.mp3");
    WriteSilentMp3(path, 100, 44100, false);
    auto stream = platform::OpenMusic(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(stream);
    stream->SetPosition(std::nan(""));
    EXPECT_EQ(stream->Position(), 0.0);
    stream->SetPosition(1.0);
    stream->SetPosition(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(stream->Position(), 0.0);
    stream->SetPosition(1e300); // past the end: the clock goes on from the clamp
    EXPECT_EQ(stream->Position(), platform::kMaxMusicPosition);
    stream->SetPosition(std::nan(""));
    EXPECT_EQ(stream->Position(), 0.0);

    auto silent = platform::CreateSilentMusic();
    silent->SetPosition(std::nan(""));
    EXPECT_EQ(silent->Position(), 0.0);
    silent->SetPosition(std::numeric_limits<double>::infinity());
    EXPECT_EQ(silent->Position(), platform::kMaxMusicPosition);
}

TEST(MusicStream, SilentMusicFollowsTheClockWhilePlaying) {
    auto stream = platform::CreateSilentMusic();
    EXPECT_EQ(stream->Position(), 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(stream->Position(), 0.0);
    stream->Play();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(stream->Position(), 0.02);
    stream->Pause();
    stream->SetPosition(7.0);
    EXPECT_EQ(stream->Position(), 7.0);
}

TEST(MusicStream, BackendVersionRuleHoldsForTheLinkedLibraries) {
    EXPECT_TRUE(platform::MusicBackendSupported());
}

} // namespace
