#pragma once

#include <tiny_gltf.h>

#include <filesystem>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kovra::importer {

// Reads the glTF file (".gltf" or ".glb") and writes a show folder that
// kovra-player plays into `show`, which must be new or empty: the manifest,
// the scene file with the default scene's nodes, a mesh file and effect
// script for each triangle primitive, the camera schedule starting on the
// first camera, and silent music as long as the show. What is left out is
// named on `warnings`, a line each. Throws std::runtime_error with one line
// naming the file at fault.
void ImportGltf(const std::filesystem::path& gltf, const std::filesystem::path& show,
                std::ostream& warnings);

// The scene's own files of that show, by path in the show folder: the scene
// file, the meshes and their effect scripts, and the camera schedule.
// `source` names the file in errors and warnings.
std::map<std::string, std::string> SceneFiles(const tinygltf::Model& model,
                                              const std::string& source, std::ostream& warnings);

// The effect files the imported meshes' scripts use (path in the show
// folder, text), built into the program.
const std::vector<std::pair<const char*, const char*>>& EffectFiles();

} // namespace kovra::importer
