#pragma once

#include "engine/engineApi.h"

#include <string>

namespace engine::core {

// Wide <-> narrow conversions used around the log. Narrow text is UTF-8;
// invalid input bytes become U+FFFD rather than truncating the string.
ENGINE_API std::string Narrow(const std::wstring& text);
ENGINE_API std::wstring Widen(const std::string& text);

} // namespace engine::core
