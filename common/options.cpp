#include "common/options.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <utility>

namespace {

bool ParseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && last == end && std::isfinite(value);
}

template <typename Integer> bool ParseInt(const std::string& text, Integer& value) {
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && last == end;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    return x != std::string::npos && ParseInt(text.substr(0, x), width) &&
           ParseInt(text.substr(x + 1), height);
}

// Applies one "--name value" option; the error text, empty when it is fine.
std::string Apply(const std::string& name, const std::string& value,
                  engine::CaptureSettings& capture) {
    if (name == "--capture") {
        capture.directory = value;
        return value.empty() ? "--capture needs a folder" : "";
    }
    if (name == "--rate")
        return ParseNumber(value, capture.rate)
                   ? ""
                   : "--rate needs a number of frames per second, got '" + value + "'";
    if (name == "--size")
        return ParseSize(value, capture.width, capture.height)
                   ? ""
                   : "--size needs WIDTHxHEIGHT, got '" + value + "'";
    if (name == "--from")
        return ParseNumber(value, capture.from) ? "" : "--from needs seconds, got '" + value + "'";
    if (name == "--to")
        return ParseNumber(value, capture.to) ? "" : "--to needs seconds, got '" + value + "'";
    if (name == "--frames-from" || name == "--frames-to") {
        std::int64_t& frame = name == "--frames-from" ? capture.firstFrame : capture.endFrame;
        return ParseInt(value, frame) && frame >= 0
                   ? ""
                   : name + " needs a frame number, got '" + value + "'";
    }
    if (value != "png")
        return "--frames takes only 'png', got '" + value + "'";
    capture.output = engine::CaptureSettings::Output::Png;
    return "";
}

bool TakesValue(const std::string& name) {
    for (const char* known : {"--capture", "--rate", "--size", "--from", "--to", "--frames",
                              "--frames-from", "--frames-to"})
        if (name == known)
            return true;
    return false;
}

} // namespace

Options ParseOptions(const std::vector<std::string>& arguments) {
    Options options;
    // Without --to the capture ends where the show does (SetShowLength).
    engine::CaptureSettings capture;
    bool captureOption = false;
    bool seconds = false; // --from or --to given
    auto fail = [&](const std::string& error) {
        if (options.error.empty())
            options.error = error;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word.rfind("--", 0) != 0) {
            options.commandLine += (options.commandLine.empty() ? "" : " ") + word;
            continue;
        }
        if (word == "--help") {
            options.help = true;
            continue;
        }
        // "--name value" or "--name=value".
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (!TakesValue(name)) {
            fail("unknown option '" + name + "'");
            continue;
        }
        std::string value;
        if (equals != std::string::npos)
            value = word.substr(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        else {
            fail(name + " needs a value");
            continue;
        }
        captureOption = captureOption || name != "--capture";
        seconds = seconds || name == "--from" || name == "--to";
        fail(Apply(name, value, capture));
    }
    if (seconds && (capture.firstFrame >= 0 || capture.endFrame >= 0))
        fail("--from and --to take seconds, --frames-from and --frames-to frames: use one pair");
    if (!capture.directory.empty())
        options.capture = capture;
    else if (captureOption)
        fail("--rate, --size, --from, --to and --frames need --capture");
    return options;
}

bool WantsDialog(const std::string& commandLine) {
    return commandLine.find("nodialog") == std::string::npos;
}

std::optional<std::uint32_t> ShaderCap(const std::string& commandLine) {
    static const std::pair<const char*, std::uint32_t> caps[] = {
        {"ps0", 0xFFFF0000},  {"ps11", 0xFFFF0101}, {"ps12", 0xFFFF0102}, {"ps13", 0xFFFF0103},
        {"ps14", 0xFFFF0104}, {"ps20", 0xFFFF0200}, {"ps30", 0xFFFF0300}};
    std::optional<std::uint32_t> cap;
    for (const auto& [option, version] : caps)
        if (commandLine.find(option) != std::string::npos)
            cap = version;
    return cap;
}

namespace {

// The words and options every program that plays a show takes, after the
// line that introduces the words; `end` says where a capture ends by default.
std::string SharedHelp(const std::string& wordsLine, const std::string& end) {
    return wordsLine +
           "\n"
           "  nodialog            no settings dialog: full screen at the desktop's mode\n"
           "  ps0, ps11 ... ps30  the highest pixel-shader version effects may use\n"
           "                      (ps0: none; with several, the highest listed here wins)\n"
           "\n"
           "Options:\n"
           "  --help              show this text and exit\n"
           "  --capture DIR       render offline into DIR, as fast as it can draw: DIR/show.mp4\n"
           "                      with the music when ffmpeg is installed, else\n"
           "                      DIR/frame_000000.png ...; the music is not played;\n"
           "                      interrupted, it keeps DIR/show.partial.mp4 and fails\n"
           "  --rate N            frames per second of the capture (default 30)\n"
           "  --size WxH          size of the captured frames (default 1280x720)\n"
           "  --from S            frame k shows k/N seconds; the first frame is the first\n"
           "                      at or after S seconds (default 0)\n"
           "  --to S              frames are written while their time is below S\n"
           "                      (default " +
           end +
           ")\n"
           "  --frames-from K     the first frame by number, instead of --from\n"
           "  --frames-to K       the frame the capture stops before, instead of --to;\n"
           "                      frame files are named by their number in the whole show,\n"
           "                      so that captures of adjacent ranges join into it\n"
           "  --frames png        write PNG frames even when ffmpeg is installed\n";
}

} // namespace

std::string HelpText() {
    return "Usage: game [nodialog] [ps0|ps11|ps12|ps13|ps14|ps20|ps30] [options]\n"
           "\n" +
           SharedHelp("Plays the demo. These words count wherever they appear on the command line:",
                      "125.2, the show's end");
}

std::string PlayerHelpText() {
    return "Usage: kovra-player SHOWDIR [nodialog] [ps0|ps11|ps12|ps13|ps14|ps20|ps30] [options]\n"
           "       kovra-player --new DIR\n"
           "\n"
           "Plays the show in the folder SHOWDIR, as its manifest SHOWDIR/show.lua says;\n"
           "--new DIR writes a starter show into DIR (a new or empty folder).\n"
           "Paths on the command line are relative to the current folder; the log is\n"
           "SHOWDIR/data/log.html.\n"
           "\n" +
           SharedHelp("These words count wherever they appear after SHOWDIR:", "the show's length");
}
