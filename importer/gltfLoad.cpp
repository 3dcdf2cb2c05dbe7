#include "importer/gltfLoad.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace kovra::importer {

namespace {

bool KeepImageUndecoded(tinygltf::Image*, const int, std::string*, std::string*, int, int,
                        const unsigned char*, int, void*) {
    return true;
}

std::string OneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
        text.replace(at, 1, "; ");
    return text;
}

} // namespace

tinygltf::Model ParseGltf(const std::string& bytes, const std::string& name,
                          const std::string& folder) {
    if (bytes.size() > std::numeric_limits<unsigned int>::max())
        throw std::runtime_error(name + ": too large");
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(KeepImageUndecoded, nullptr);
    tinygltf::Model model;
    std::string error;
    std::string warning;
    const auto size = static_cast<unsigned int>(bytes.size());
    const bool loaded =
        bytes.starts_with("glTF")
            ? loader.LoadBinaryFromMemory(&model, &error, &warning,
                                          reinterpret_cast<const unsigned char*>(bytes.data()),
                                          size, folder)
            : loader.LoadASCIIFromString(&model, &error, &warning, bytes.data(), size, folder);
    if (!loaded)
        throw std::runtime_error(name + ": " +
                                 (error.empty() ? "not a glTF 2.0 file" : OneLine(error)));
    return model;
}

tinygltf::Model LoadGltf(const std::filesystem::path& path) {
    std::error_code ec;
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, ec) || !in)
        throw std::runtime_error(path.string() + ": no such file");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ParseGltf(bytes.str(), path.string(), path.parent_path().string());
}

} // namespace kovra::importer
