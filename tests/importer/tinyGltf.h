#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace kovra::test {

// Writes glTF files for the importer's tests: the L-shaped mesh's buffer
// and the JSON around it, so each test states only the nodes it is about.
struct LMesh {
    // A flat L in the plane x = 0, facing -x: a bar 2 high and, at its foot,
    // an arm along +z. Counter-clockwise seen from its front, as glTF wants.
    static constexpr float kPositions[8][3] = {{0, -1, -0.25f},  {0, -1, 0.25f},   {0, 1, 0.25f},
                                               {0, 1, -0.25f},   {0, -1, 0.25f},   {0, -1, 1.5f},
                                               {0, -0.5f, 1.5f}, {0, -0.5f, 0.25f}};
    static constexpr std::uint16_t kIndices[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};

    // Positions, normals, UVs, then the indices.
    static std::string Buffer() {
        std::vector<float> floats;
        for (const auto& p : kPositions)
            floats.insert(floats.end(), p, p + 3);
        for (int i = 0; i < 8; ++i)
            floats.insert(floats.end(), {-1.0f, 0.0f, 0.0f});
        for (const auto& p : kPositions)
            floats.insert(floats.end(), {p[2], p[1]});
        std::string bytes(floats.size() * sizeof(float) + sizeof kIndices, '\0');
        std::memcpy(bytes.data(), floats.data(), floats.size() * sizeof(float));
        std::memcpy(bytes.data() + floats.size() * sizeof(float), kIndices, sizeof kIndices);
        return bytes;
    }

    // A glTF document with the buffer in "l.bin", the mesh "L" (its
    // attributes as given), one perspective camera and one point light,
    // around the nodes and root nodes given as JSON.
    static std::string
    Document(const std::string& nodes, const std::string& roots,
             const std::string& attributes = R"("POSITION": 0, "NORMAL": 1, "TEXCOORD_0": 2)") {
        return R"({
  "asset": {"version": "2.0"},
  "extensionsUsed": ["KHR_lights_punctual"],
  "extensions": {"KHR_lights_punctual": {"lights": [{"name": "Bulb", "type": "point", "intensity": 5}]}},
  "scene": 0,
  "scenes": [{"nodes": [)" +
               roots + R"(]}],
  "nodes": [)" +
               nodes + R"(],
  "cameras": [{"name": "Lens", "type": "perspective", "perspective": {"yfov": 0.785, "znear": 0.1, "zfar": 100}}],
  "materials": [{"name": "Clay", "pbrMetallicRoughness": {"baseColorFactor": [0.9, 0.5, 0.2, 1]}}],
  "meshes": [{"name": "L", "primitives": [{"attributes": {)" +
               attributes + R"(},
                                          "indices": 3, "material": 0}]}],
  "buffers": [{"uri": "l.bin", "byteLength": 280}],
  "bufferViews": [{"buffer": 0, "byteOffset": 0, "byteLength": 96},
                  {"buffer": 0, "byteOffset": 96, "byteLength": 96},
                  {"buffer": 0, "byteOffset": 192, "byteLength": 64},
                  {"buffer": 0, "byteOffset": 256, "byteLength": 24}],
  "accessors": [
    {"bufferView": 0, "componentType": 5126, "count": 8, "type": "VEC3",
     "min": [0, -1, -0.25], "max": [0, 1, 1.5]},
    {"bufferView": 1, "componentType": 5126, "count": 8, "type": "VEC3"},
    {"bufferView": 2, "componentType": 5126, "count": 8, "type": "VEC2"},
    {"bufferView": 3, "componentType": 5123, "count": 12, "type": "SCALAR"}]
}
)";
    }

    // The document in a binary container with the buffer inside, as ".glb".
    static std::string Binary(std::string json) {
        const std::string external = R"("uri": "l.bin", )";
        json.erase(json.find(external), external.size());
        json.resize((json.size() + 3) / 4 * 4, ' ');
        const std::string buffer = Buffer(); // 280 bytes: a whole number of words
        std::string glb = "glTF";
        Word(glb, 2);
        Word(glb, static_cast<std::uint32_t>(12 + 8 + json.size() + 8 + buffer.size()));
        Word(glb, static_cast<std::uint32_t>(json.size()));
        glb += "JSON" + json;
        Word(glb, static_cast<std::uint32_t>(buffer.size()));
        glb += std::string("BIN\0", 4) + buffer;
        return glb;
    }

private:
    static void Word(std::string& bytes, std::uint32_t value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
};

} // namespace kovra::test
