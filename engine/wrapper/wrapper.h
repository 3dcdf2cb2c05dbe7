#pragma once

#include "engine/engineApi.h"

#include <string>

// The free functions the engine exports to programs.
namespace engine {

// Makes the render target `name` with an edge of `size` pixels and registers
// it with the resource manager, replacing an earlier target of that name;
// effects that name it later get this one.
ENGINE_API void CreateRenderTarget(const std::wstring& name, int size);

} // namespace engine
