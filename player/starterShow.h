#pragma once

#include <filesystem>
#include <vector>

// A text file of the starter show: its path in the show folder and its bytes.
struct StarterFile {
    const char* path;
    const char* text;
};

// The manifest, camera schedule, effect scripts and effect files of the
// starter show (player/starter/ and the engine's fallback effect), built
// into the program.
const std::vector<StarterFile>& StarterTextFiles();

// Writes the starter show into `folder`, which must be new or empty: the
// text files above, and the scene, its meshes and the music made by the
// show's own generators. Returns the error, empty when it was written.
std::string WriteStarterShow(const std::filesystem::path& folder);
