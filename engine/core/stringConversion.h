#pragma once

#include <string>

namespace engine::core {

// Wide <-> narrow conversions used around the log. Narrow text is UTF-8;
// invalid input bytes become U+FFFD rather than truncating the string.
std::string Narrow(const std::wstring& text);
std::wstring Widen(const std::string& text);

} // namespace engine::core
