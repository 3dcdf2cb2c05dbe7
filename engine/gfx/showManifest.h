#pragma once

#include "engine/engineApi.h"
#include "engine/gfx/emitterInfo.h"

#include <string>
#include <vector>

namespace engine::gfx {

/// A render target the show's effect scripts draw into, made before the
/// scene is loaded.
struct ShowTarget {
    std::string name;
    int size = 0; ///< edge in pixels
};

/// A particle emitter hung below a node of the scene.
struct ShowEmitter {
    enum class Kind { Particles, Plane, Curve };

    Kind kind = Kind::Particles;
    std::string node;
    std::string effect; ///< effect script the particles are drawn with
    /// Everything but the effect; width and depth count for plane emitters.
    PlaneEmitterInfo info;
};

/// What a show folder's manifest ("show.lua", a Lua chunk that sets the global
/// `show`) says: the files of the show, relative to the manifest's folder,
/// its length and title, and what the scene module makes besides the scene.
struct ShowManifest {
    std::string title;
    std::string scene;   ///< ".demo" scene file
    std::string cameras; ///< camera schedule
    std::string music;
    double length = 0.0; ///< seconds
    std::vector<ShowTarget> targets;
    std::vector<ShowEmitter> emitters;
};

/// Reads the manifest in the bounded state effect scripts run in. A field that
/// is missing or wrong, and a file it names that does not exist, raise with
/// "PATH: FIELD ..." (for example "show.lua: emitters[2].kind must be
/// \"particles\", \"plane\" or \"curve\"").
ShowManifest ReadShowManifest(const std::string& path);

} // namespace engine::gfx
