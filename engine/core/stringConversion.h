#pragma once

#include "engine/engineApi.h"

#include <string>

namespace engine::core {

/// Wide text (the engine's messages, Exception::GetText) as UTF-8; a lone
/// surrogate or an invalid code point becomes U+FFFD.
ENGINE_API std::string Narrow(const std::wstring& text);
/// UTF-8 text as wide text; invalid input bytes become U+FFFD rather than
/// truncating the string.
ENGINE_API std::wstring Widen(const std::string& text);

} // namespace engine::core
