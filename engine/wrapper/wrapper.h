#pragma once

#include "engine/engineApi.h"

#include <cstdint>
#include <memory>
#include <string>

namespace engine::gfx {
class Effect;
class Spatial;
struct RenderObject;
} // namespace engine::gfx

// The free functions the engine exports to the program.
namespace engine {

// Pixel-shader version token (0xFFFF0200 for 2.0) that later effects may
// use at most; effects whose variants all exceed it fall back.
ENGINE_API void SetTargetShaderVersion(std::uint32_t version);
// An effect built from the script through the effect pool.
ENGINE_API std::shared_ptr<gfx::Effect> BuildEffect(const std::string& file);

// Makes the render target `name` with an edge of `size` pixels and registers
// it with the resource manager, replacing an earlier target of that name;
// effects that name it later get this one.
ENGINE_API void CreateRenderTarget(const std::wstring& name, int size);

// Makes `root` the scene the renderer draws, below its camera; a null root
// is refused with a warning and the previous scene stays.
ENGINE_API void SetRootNode(std::shared_ptr<gfx::Spatial> root);
// Hands one object to the renderer for this frame.
ENGINE_API void Render(std::shared_ptr<gfx::RenderObject> object);

} // namespace engine
