#pragma once

#include "engine/gfx/effectDescription.h"

#include <string>

namespace engine::gfx {

// Largest effect file and largest parameter array accepted; both are far
// above what an effect needs and keep broken input from allocating much.
constexpr std::size_t kEffectFileSizeLimit = 4u << 20;
constexpr std::uint32_t kEffectArraySizeLimit = 4096;

// Reads and parses an effect file. Any fault (missing file, syntax, unknown
// names) is logged as an error naming the file and line, which raises.
EffectDescription ParseEffectFile(const std::string& path);

// Parses effect-file text; file names the text in error messages.
EffectDescription ParseEffectText(const std::string& file, const std::string& text);

} // namespace engine::gfx
