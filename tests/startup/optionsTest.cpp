// The program's command line: the classic substring options and the
// "--" options of help and offline capture.
#include "common/options.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ShaderCap, TheLastMatchInTheFixedOrderWins) {
    EXPECT_EQ(ShaderCap("ps30 ps11"), 0xFFFF0300u); // not the later word
    EXPECT_EQ(ShaderCap("ps11ps20"), 0xFFFF0200u);
    EXPECT_EQ(ShaderCap("ps0"), 0xFFFF0000u);
    EXPECT_EQ(ShaderCap("xxps14yy"), 0xFFFF0104u);
    EXPECT_EQ(ShaderCap("ps13 ps12"), 0xFFFF0103u);
    EXPECT_EQ(ShaderCap("nodialog ps2 PS20"), std::nullopt);
    EXPECT_FALSE(WantsDialog("xnodialogx"));
    EXPECT_TRUE(WantsDialog("no dialog"));
}

TEST(ParseOptions, ClassicWordsAndCaptureValuesStayApart) {
    const Options plain = ParseOptions({"nodialog", "ps20"});
    EXPECT_EQ(plain.commandLine, "nodialog ps20");
    EXPECT_FALSE(plain.capture);
    EXPECT_TRUE(plain.error.empty());

    // A folder named like an option does not turn into one.
    const Options options = ParseOptions({"nodialog", "--capture", "ps0", "ps30"});
    EXPECT_EQ(options.commandLine, "nodialog ps30");
    ASSERT_TRUE(options.capture);
    EXPECT_EQ(options.capture->directory, "ps0");
    EXPECT_EQ(options.capture->rate, 30.0);
    EXPECT_EQ(options.capture->width, 1280);
    EXPECT_EQ(options.capture->height, 720);
    EXPECT_EQ(options.capture->from, 0.0);
    EXPECT_TRUE(std::isinf(options.capture->to)); // the show's length, set by the program
    EXPECT_EQ(options.capture->output, engine::CaptureSettings::Output::Automatic);

    const Options all = ParseOptions({"--capture=out", "--rate", "24", "--size", "64x36", "--from",
                                      "1.5", "--to=3", "--frames", "png"});
    EXPECT_TRUE(all.error.empty()) << all.error;
    ASSERT_TRUE(all.capture);
    EXPECT_EQ(all.capture->directory, "out");
    EXPECT_EQ(all.capture->rate, 24.0);
    EXPECT_EQ(all.capture->width, 64);
    EXPECT_EQ(all.capture->height, 36);
    EXPECT_EQ(all.capture->from, 1.5);
    EXPECT_EQ(all.capture->to, 3.0);
    EXPECT_EQ(all.capture->output, engine::CaptureSettings::Output::Png);
    EXPECT_EQ(all.capture->firstFrame, -1);
    EXPECT_EQ(all.capture->endFrame, -1);

    const Options frames =
        ParseOptions({"--capture=out", "--frames-from", "440", "--frames-to=450"});
    EXPECT_TRUE(frames.error.empty()) << frames.error;
    ASSERT_TRUE(frames.capture);
    EXPECT_EQ(frames.capture->firstFrame, 440);
    EXPECT_EQ(frames.capture->endFrame, 450);
}

TEST(ParseOptions, MistakesAreNamedAndHelpWinsOverThem) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--help=1"}, "unknown option '--help'"},
        {{"--capture"}, "--capture needs a value"},
        {{"--capture="}, "--capture needs a folder"},
        {{"--capture", "d", "--rate", "fast"},
         "--rate needs a number of frames per second, got 'fast'"},
        {{"--capture", "d", "--rate", "30fps"},
         "--rate needs a number of frames per second, got '30fps'"},
        {{"--capture", "d", "--size", "1280"}, "--size needs WIDTHxHEIGHT, got '1280'"},
        {{"--capture", "d", "--size", "12x"}, "--size needs WIDTHxHEIGHT, got '12x'"},
        {{"--capture", "d", "--from", "inf"}, "--from needs seconds, got 'inf'"},
        {{"--capture", "d", "--to", ""}, "--to needs seconds, got ''"},
        {{"--capture", "d", "--frames", "jpg"}, "--frames takes only 'png', got 'jpg'"},
        {{"--capture", "d", "--frames-from", "-1"}, "--frames-from needs a frame number, got '-1'"},
        {{"--capture", "d", "--frames-to", "1.5"}, "--frames-to needs a frame number, got '1.5'"},
        {{"--capture", "d", "--from", "1", "--frames-to", "20"},
         "--from and --to take seconds, --frames-from and --frames-to frames: use one pair"},
        {{"--rate", "30"}, "--rate, --size, --from, --to and --frames need --capture"},
        {{"--bogus", "--rate"}, "unknown option '--bogus'"}, // the first mistake
    };
    for (const auto& [arguments, error] : cases) {
        const Options options = ParseOptions(arguments);
        EXPECT_EQ(options.error, error) << arguments[0];
        EXPECT_FALSE(options.help);
    }
    const Options help = ParseOptions({"--bogus", "--help"});
    EXPECT_TRUE(help.help);
}

} // namespace
