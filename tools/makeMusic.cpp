// Synthesises the show's music and writes it as an MP3 (default
// "data/Vantor-Kelmsong.mp3"): 44.1 kHz stereo at 160 kbit/s.
#include "tools/generators/fileWriter.h"
#include "tools/generators/mp3Encoder.h"
#include "tools/generators/song.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
    using namespace kovra::tools;
    const std::filesystem::path path = argc > 1 ? argv[1] : "data/Vantor-Kelmsong.mp3";
    const std::vector<std::uint8_t> mp3 = EncodeMp3(RenderSong(44100), 160);
    if (mp3.empty()) {
        std::fprintf(stderr, "cannot encode the music\n");
        return 1;
    }
    return WriteBytes(path, mp3) ? 0 : 1;
}
