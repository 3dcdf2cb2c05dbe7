#include "engine/core/timer.h"
#include "engine/gfx/showManifest.h"
#include "engine/wrapper/wrapper.h"

namespace engine {

void SetMusicFile(const std::string& path) {
    core::SetMusicPath(path);
}

void SetShowLength(double seconds) {
    core::SetShowLength(seconds);
}

gfx::ShowManifest ReadShowManifest(const std::string& path) {
    return gfx::ReadShowManifest(path);
}

} // namespace engine
