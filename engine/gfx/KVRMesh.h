#pragma once

#include "engine/gfx/mesh.h"

#include <string>

namespace engine::gfx {

// A mesh read from a ".kvr" file, drawn with the effect script named like
// the file plus ".efx" (data/tree.kvr: data/tree.kvr.efx). Coincident
// vertices are welded, normals or a tangent frame generated and the streams
// the effect does not use dropped; a skeleton chunk brings skin weights and
// the skeleton animation of the companion ".anim" file (data/tree.anim).
// Obtained through ResourceManager::Get<KVRMesh>(name).
class KVRMesh : public Mesh {
public:
    // The engine's screen quad, written by the engine each time it is
    // loaded; it has no effect of its own.
    static constexpr const char* kQuadPath = "data/quad.kvr";

    explicit KVRMesh(const std::wstring& name);

    // Loads and builds the mesh; errors (named file) raise. A mesh without
    // indices gets no device objects, effect or bounding sphere.
    void Create() override;

private:
    // What the effect's stream kinds ask of the mesh; the weld angle
    // narrows to 30 degrees when the effect shades with normals.
    struct Needs {
        bool normals = false;
        bool tangentFrame = false;
        bool skin = false;
        float angle = 180.0f;
    };

    void Load(const std::string& name);
    Needs EffectNeeds(const std::string& name) const;
    // Appends the "boneMatrices" entry to every skinning shader of the effect.
    void BindBoneMatrices();
};

// The 160 bytes of the engine's screen quad file.
std::string QuadFileBytes();

} // namespace engine::gfx
