#pragma once

#include <cstdint>

namespace engine::platform {

// The Win32 virtual-key code of an SDL key (SDL_Keycode); 0 for keys the
// engine has no code for.
std::uint32_t VirtualKeyFromSdl(std::int32_t keycode);

} // namespace engine::platform
