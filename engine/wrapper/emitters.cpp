#include "engine/core/log.h"
#include "engine/gfx/curveEmitter.h"
#include "engine/gfx/emitter.h"
#include "engine/gfx/node.h"
#include "engine/gfx/planeEmitter.h"
#include "engine/wrapper/wrapper.h"

namespace engine {

namespace {

constexpr const char* kSource = ".\\wrapper.cpp";

} // namespace

void AddParticleEmitter(gfx::Node* node, const gfx::EmitterInfo& info) {
    if (!node) {
        core::Logging::Get()->Warning("Cannot add particle emmiter to NULL node", kSource, 95);
        return;
    }
    node->AddChild(std::make_shared<gfx::Emitter>(node, info));
}

void AddPlaneParticleEmitter(gfx::Node* node, const gfx::PlaneEmitterInfo& info) {
    if (!node) {
        core::Logging::Get()->Warning("Cannot add plane particle emmiter to NULL node", kSource,
                                      106);
        return;
    }
    node->AddChild(std::make_shared<gfx::PlaneEmitter>(node, info));
}

void AddCurveEmitter(gfx::Node* node, const gfx::EmitterInfo& info) {
    if (!node) {
        core::Logging::Get()->Warning("Cannot add curve particle emmiter to NULL node", kSource,
                                      117);
        return;
    }
    node->AddChild(std::make_shared<gfx::CurveEmitter>(node, info));
}

} // namespace engine
